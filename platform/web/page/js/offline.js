// Keeps the page for use with no network: the service worker (sw.js) keeps
// every file of the page, so that after one visit the page starts and plays
// offline and can be installed. A new version of the page is taken only when
// the page starts, never while a game is open: a newer worker fetched on an
// earlier visit waits until then, and the page starts again as the new
// version before anything is shown.

// How long a waiting worker has to take over before the page starts as it is.
const kTakeOverMs = 5000;
const kAskAgainMs = 500;

// Call first, and show nothing before it has resolved: then the page may go
// on; when a waiting version takes over, the page reloads instead (what was
// fetched meanwhile is only the old version's, from its cache).
// whenLoaded: settles once the page has what it needs to start; only then
// does a first visit fetch the whole page again for the offline copy, so
// the two do not share the network at the start.
export async function keepForOffline(whenLoaded = Promise.resolve()) {
  // Not a secure context (http to another computer than this one), or a
  // browser without service workers: the page works online only.
  if (!("serviceWorker" in navigator)) return;
  try {
    const registration = await navigator.serviceWorker.getRegistration();
    if (registration?.waiting && registration.active) await takeWaitingVersion(registration.waiting);
    whenLoaded
      .catch(() => {})
      .then(() => navigator.serviceWorker.register("sw.js"))
      .catch((error) => console.warn("kanae: no offline copy", error));
  } catch (error) {
    console.warn("kanae: no offline copy", error);
  }
}

function takeWaitingVersion(worker) {
  return new Promise((resolve) => {
    const restart = () => location.reload();
    navigator.serviceWorker.addEventListener("controllerchange", restart, { once: true });
    // Asked again until it moves: a worker being started or stopped by the
    // browser may miss a message.
    const ask = () => worker.state === "installed" && worker.postMessage("take-over");
    ask();
    const asking = setInterval(ask, kAskAgainMs);
    // A worker that never takes over leaves the page as it is, and a late
    // one no longer restarts it: a game may be open by then.
    setTimeout(() => {
      clearInterval(asking);
      navigator.serviceWorker.removeEventListener("controllerchange", restart);
      resolve();
    }, kTakeOverMs);
  });
}
