#include "text_normalisation.h"

#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <vector>

namespace kanae {

namespace {

bool IsPlainAscii(TextView text) {
  for (char32_t c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

Text ToNfc(TextView text) {
  if (IsPlainAscii(text)) return Text(text);
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status)) return Text(text);

  // Text -> UTF-16 (ICU's working form), normalise, and back.
  std::vector<UChar> utf16(text.size() * 2 + 1);
  int32_t utf16_length = 0;
  u_strFromUTF32(utf16.data(), static_cast<int32_t>(utf16.size()), &utf16_length,
                 reinterpret_cast<const UChar32*>(text.data()), static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return Text(text);  // not Unicode text (a lone surrogate): left as it is

  std::vector<UChar> normal(static_cast<std::size_t>(utf16_length) + 16);
  int32_t normal_length = unorm2_normalize(nfc, utf16.data(), utf16_length, normal.data(),
                                           static_cast<int32_t>(normal.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {  // a few characters grow when normalised
    status = U_ZERO_ERROR;
    normal.resize(static_cast<std::size_t>(normal_length) + 1);
    normal_length = unorm2_normalize(nfc, utf16.data(), utf16_length, normal.data(),
                                     static_cast<int32_t>(normal.size()), &status);
  }
  if (U_FAILURE(status)) return Text(text);

  Text out(static_cast<std::size_t>(normal_length), U'\0');
  int32_t out_length = 0;
  u_strToUTF32(reinterpret_cast<UChar32*>(out.data()), static_cast<int32_t>(out.size()), &out_length, normal.data(),
               normal_length, &status);
  if (U_FAILURE(status)) return Text(text);
  out.resize(static_cast<std::size_t>(out_length));
  return out;
}

}  // namespace kanae
