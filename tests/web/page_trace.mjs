// What the page's tests in the browser share: the trace as fields, its events
// of one kind, and a wait for something to come true.
export const trace = (page) => page.evaluate(() => (window.kanaeTrace ?? []).map((line) => line.split("\t")));

export const events = async (page, name) => (await trace(page)).filter((fields) => fields[1] === name);

// test's first truthy value, asked every 50 ms; an error naming what after ms.
export async function until(what, test, ms = 15000) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The open question's answers once its prompt has been heard (a click while
// the prompt plays is no answer); null until then.
export async function heardAnswers(page) {
  const said = (await events(page, "speak")).length;
  const heard = (await events(page, "speech-end")).length;
  const open = await page.evaluate(() => window.kanae.answers());
  return said <= heard && open.length > 0 ? open : null;
}

// A new page whose script errors are kept in errors.
export async function watchedPage(browser, options) {
  const page = await browser.newPage(options);
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  return { page, errors };
}

// The end of a test in the browser: each failure said, and the process failed.
export function endTest(failures) {
  if (failures.length === 0) return;
  console.error(failures.join("\n"));
  process.exit(1);
}
