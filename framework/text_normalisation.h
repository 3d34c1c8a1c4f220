// Unicode normalisation of what the child sees and hears. Files copied from
// macOS carry decomposed kana (か followed by a combining ゛); composed (NFC),
// が is one letter again, as the games count and speak letters.
#pragma once

#include "text.h"

namespace kanae {

Text ToNfc(TextView text);

}  // namespace kanae
