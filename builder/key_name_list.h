#pragma once
// The key names "Sample Keys" shows beside the builder: a label, "=" and the braced code to
// type in a key string, grouped by kind of key.

#include <string>

namespace qb {

const std::string& keyNameListText();

}  // namespace qb
