// Copies a folder of the page (a lesson, the sound pack) into the core's file
// system, where the games read it as they read a folder on the desktop.
export async function listOf(url) {
  const response = await fetch(url + "index.json");
  if (!response.ok) throw new Error(`${url}index.json: ${response.status}`);
  return response.json();
}

// The files of a folder of the page, fetched while the core loads: [{name, bytes}].
export async function fetchFolder(url) {
  const names = await listOf(url);
  return Promise.all(
    names.map(async (name) => {
      const response = await fetch(url + encodeURIComponent(name));
      if (!response.ok) throw new Error(`${url}${name}: ${response.status}`);
      return { name, bytes: new Uint8Array(await response.arrayBuffer()) };
    }),
  );
}

export function writeIntoCore(fs, folder, files) {
  fs.mkdirTree(folder);
  for (const { name, bytes } of files) fs.writeFile(`${folder}/${name}`, bytes);
}
