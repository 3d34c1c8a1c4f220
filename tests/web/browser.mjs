// Debian's chromium, headless, driven by playwright-core: from the folder
// named by KANAE_WEB_TOOLS (where the test installed the pinned version), or
// from tests/web/node_modules. Nothing here downloads a browser.
import { createRequire } from "node:module";

const require = createRequire(process.env.KANAE_WEB_TOOLS ? `${process.env.KANAE_WEB_TOOLS}/` : import.meta.url);
const { chromium } = require("playwright-core");

export function launch() {
  return chromium.launch({
    executablePath: process.env.KANAE_CHROMIUM ?? "/usr/bin/chromium",
    // The machines' network is closed: the browser's own calls home are left out.
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run"],
  });
}
