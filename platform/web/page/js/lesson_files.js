// Copies a folder of the page (a lesson, the sound pack) into the core's file
// system, where the games read it as they read a folder on the desktop.
export async function listOf(url) {
  const response = await fetch(url + "index.json");
  if (!response.ok) throw new Error(`${url}index.json: ${response.status}`);
  return response.json();
}

// onFile(name, bytes) sees each file as it comes.
export async function copyIntoCore(fs, url, names, folder, onFile = async () => {}) {
  fs.mkdirTree(folder);
  await Promise.all(
    names.map(async (name) => {
      const response = await fetch(url + encodeURIComponent(name));
      if (!response.ok) throw new Error(`${url}${name}: ${response.status}`);
      const bytes = new Uint8Array(await response.arrayBuffer());
      fs.writeFile(`${folder}/${name}`, bytes);
      await onFile(name, bytes);
    }),
  );
}
