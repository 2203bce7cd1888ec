#include "python/ArgumentBinding.h"

#include <optional>
#include <string>

#include "python/ValueConversion.h"

namespace skein10::python {
namespace py = pybind11;
namespace {

std::string nameOf(const MemberInfo& member) { return toUtf8(member.name) + "()"; }

std::string parameterText(const MemberInfo& member, std::size_t index) {
  const String& name = member.params[index].name;
  return name.empty() ? "argument " + std::to_string(index + 1) : "argument '" + toUtf8(name) + "'";
}

std::size_t parameterNamed(const MemberInfo& member, const std::string& keyword) {
  const String wanted = foldCase(fromUtf8(keyword));
  for (std::size_t i = 0; i < member.params.size(); ++i)
    if (!member.params[i].name.empty() && foldCase(member.params[i].name) == wanted) return i;
  throw py::type_error(nameOf(member) + " got an unexpected keyword argument '" + keyword + "'");
}

}  // namespace

std::vector<Variant> bindArguments(const MemberInfo& member, const py::args& args, const py::kwargs& kwargs) {
  const std::size_t count = member.params.size();
  if (args.size() > count)
    throw py::type_error(nameOf(member) + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") +
                         " but " + std::to_string(args.size()) + " were given");
  std::vector<std::optional<py::handle>> given(count);
  for (std::size_t i = 0; i < args.size(); ++i) given[i] = args[i];
  for (const auto& [key, value] : kwargs) {
    const std::string keyword = py::str(key);
    const std::size_t i = parameterNamed(member, keyword);
    if (given[i]) throw py::type_error(nameOf(member) + " got multiple values for " + parameterText(member, i));
    given[i] = value;
  }
  // Trailing optional parameters left out are not passed; one left out
  // before a given one is passed as missing.
  std::size_t passed = count;
  while (passed > 0 && !given[passed - 1] && member.params[passed - 1].optional) --passed;
  std::vector<Variant> values;
  for (std::size_t i = 0; i < passed; ++i) {
    if (given[i]) {
      values.push_back(toParameter(*given[i], member.params[i].type, nameOf(member) + " " + parameterText(member, i)));
    } else if (member.params[i].optional) {
      values.push_back(Variant::missing());
    } else {
      throw py::type_error(nameOf(member) + " missing required " + parameterText(member, i));
    }
  }
  return values;
}

}  // namespace skein10::python
