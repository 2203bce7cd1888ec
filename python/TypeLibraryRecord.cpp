#include "python/TypeLibraryRecord.h"

#include <sstream>
#include <stdexcept>

namespace skein10::python {
namespace {

TypeLibraryRecord::Enumeration enumeration(std::istringstream& words) {
  TypeLibraryRecord::Enumeration e;
  std::string id, member;
  words >> e.name >> id;
  while (words >> member) {
    const auto equals = member.find('=');
    if (equals == std::string::npos) continue;
    e.members.emplace_back(member.substr(0, equals), std::stoi(member.substr(equals + 1)));
  }
  return e;
}

}  // namespace

TypeLibraryRecord TypeLibraryRecord::parse(const std::string& text) {
  TypeLibraryRecord record;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "library") {
      words >> record.name;
    } else if (kind == "enum") {
      record.enumerations.push_back(enumeration(words));
    } else if (kind == "class") {
      std::string name;
      words >> name;
      record.classes.push_back({name, fromUtf8(record.name + "." + name)});
    }
  }
  if (record.name.empty()) throw std::runtime_error("the type library record has no library line");
  return record;
}

}  // namespace skein10::python
