// NFC by the JavaScript engine's own String.prototype.normalize, where ICU is
// not at hand (the web build): browsers and node carry the Unicode tables.
#include <emscripten.h>

#include <cstdint>

#include "text_normalisation.h"

// Normalises length code points at source into target; returns how many code points
// the result has (more than capacity: nothing usable was written), or -1 when
// the input is not Unicode text.
EM_JS(int, kanae_nfc, (const char32_t* source, int length, char32_t* target, int capacity), {
  let text = "";
  try {
    for (let i = 0; i < length; i += 4096) {
      const end = Math.min(length, i + 4096);
      text += String.fromCodePoint.apply(null, HEAPU32.subarray((source >> 2) + i, (source >> 2) + end));
    }
  } catch (e) {
    return -1;
  }
  let count = 0;
  for (const ch of text.normalize('NFC')) {
    if (count < capacity) HEAPU32[(target >> 2) + count] = ch.codePointAt(0);
    ++count;
  }
  return count;
});

namespace kanae {

Text ToNfc(TextView text) {
  bool ascii = true;
  for (char32_t c : text) ascii = ascii && c < 0x80;
  if (ascii) return Text(text);
  Text out(text.size() + 16, U'\0');
  int length = kanae_nfc(text.data(), static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()));
  if (length > static_cast<int>(out.size())) {  // a few characters grow when normalised
    out.resize(static_cast<std::size_t>(length));
    length = kanae_nfc(text.data(), static_cast<int>(text.size()), out.data(), length);
  }
  if (length < 0) return Text(text);  // not Unicode text: left as it is
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace kanae
