#pragma once
// What --json writes: JSON Lines on standard output, one object per line,
// made and escaped by nlohmann::ordered_json. Names are bytes and need not be
// UTF-8, which JSON texts must be; putText keeps every byte of them.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace zelk::cli {

// Sets object[key] to `bytes` as a JSON string. When `bytes` is not valid
// UTF-8, every byte that is no part of a valid sequence is U+FFFD in it, and
// object[key + "_base64"] holds all the bytes, in base64 (RFC 4648, with
// padding): a name is never lost.
void putText(nlohmann::ordered_json& object, const std::string& key, std::string_view bytes);

// Writes `object` on one line of standard output; throws OutputError (see
// printLine) when it cannot be written.
void printJson(const nlohmann::ordered_json& object);

// `bytes` in base64 (RFC 4648, with padding).
std::string base64(std::string_view bytes);

}  // namespace zelk::cli
