#include "json_query.h"

#include <emscripten.h>

#include <cstdlib>

// expression is JavaScript in which the parsed JSON is called name; the
// result, as JSON (or "not JSON: ..."), is the caller's to free.
EM_JS(char*, kanae_test_json_query, (const char* json, const char* name, const char* expression), {
  let value;
  try {
    const parsed = JSON.parse(UTF8ToString(json));
    value = JSON.stringify(new Function(UTF8ToString(name), "return (" + UTF8ToString(expression) + ");")(parsed));
  } catch (error) {
    value = "not JSON: " + error.message;
  }
  return allocateUTF8(value);
});

std::string JsonQuery(const std::string& json, const char* name, const char* expression) {
  char* result = kanae_test_json_query(json.c_str(), name, expression);
  std::string out = result;
  std::free(result);
  return out;
}
