// Reads a value out of JSON the core made for the page, with the JavaScript
// engine's own JSON.parse (the page's reader), in the web build's tests.
#pragma once

#include <string>

// The value of expression, as JSON (or "not JSON: ..."): JavaScript in which
// the parsed JSON is called name.
std::string JsonQuery(const std::string& json, const char* name, const char* expression);
