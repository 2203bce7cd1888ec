#include "python/StubWriter.h"

#include <algorithm>
#include <stdexcept>

namespace skein10::python {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// What a parameter of this type accepts.
std::string parameterType(VarType type) {
  switch (type) {
    case VarType::Integer:
    case VarType::Long: return "int";
    case VarType::Double: return "float";
    case VarType::String: return "_Text";
    case VarType::Boolean: return "bool";
    case VarType::Object: return "Optional[Object]";
    case VarType::ByteArray: return "bytes";
    case VarType::Array: return "list[Any]";
    case VarType::Empty:
    case VarType::Error:
    case VarType::Variant: break;
  }
  return "Any";
}

// What a result of this type is.
std::string resultType(VarType type) {
  if (type == VarType::Empty) return "None";
  if (type == VarType::String) return "str";
  return parameterType(type);
}

std::string parameters(const MemberInfo& m) {
  std::string text = "self";
  for (const ParamInfo& p : m.params)
    text += ", " + toUtf8(p.name) + ": " + parameterType(p.type) + (p.optional ? " = ..." : "");
  return text;
}

const MemberInfo* find(const InterfaceInfo& info, DispId id, InvokeKind kind) { return info.find(id, kind); }

// One stub line (or decorated pair) per member name, in interface order.
std::string memberStub(const InterfaceInfo& info, const MemberInfo& first) {
  const MemberInfo* get = find(info, first.id, InvokeKind::Get);
  const bool assignable = find(info, first.id, InvokeKind::Let) || find(info, first.id, InvokeKind::Set);
  const std::string name = toUtf8(first.name);
  if (const MemberInfo* method = find(info, first.id, InvokeKind::Method))
    return "    def " + name + "(" + parameters(*method) + ") -> " + resultType(method->result) + ": ...\n";
  if (get && !get->params.empty())
    return "    def " + name + "(" + parameters(*get) + ") -> " + resultType(get->result) + ": ...\n";
  if (get && !assignable)
    return "    @property\n    def " + name + "(self) -> " + resultType(get->result) + ": ...\n";
  if (get) return "    " + name + ": " + resultType(get->result) + "\n";
  const MemberInfo* put = find(info, first.id, InvokeKind::Let);
  if (!put) put = find(info, first.id, InvokeKind::Set);
  return "    " + name + ": " + parameterType(put->params.back().type) + "\n";
}

std::string classStub(const ClassStub& c) {
  const InterfaceInfo& info = c.info();
  std::string text = "class " + c.name + "(_Component):\n    \"\"\"" + toUtf8(c.progId) + ", interface " +
                     toUtf8(info.name) + ".\"\"\"\n";
  std::vector<DispId> done;
  for (const MemberInfo& m : info.members) {
    if (std::find(done.begin(), done.end(), m.id) != done.end()) continue;
    done.push_back(m.id);
    text += memberStub(info, m);
  }
  return text + (done.empty() ? "    ...\n" : "") + "\n";
}

std::string enumerations(const TypeLibraryRecord& record) {
  std::string text;
  for (const auto& e : record.enumerations) {
    text += "class " + e.name + "(enum.IntEnum):\n";
    for (const auto& [member, value] : e.members) text += "    " + member + " = " + std::to_string(value) + "\n";
    text += "\n";
  }
  text += "class constants:\n";
  for (const auto& e : record.enumerations)
    for (const auto& member : e.members) text += "    " + member.first + ": " + e.name + "\n";
  return text;
}

std::string dispatchOverloads(const std::vector<ClassStub>& classes) {
  std::string text;
  for (const char* function : {"Dispatch", "CreateObject"}) {
    for (const ClassStub& c : classes)
      text += "@overload\ndef " + std::string(function) + "(progid: Literal[" + quoted(toUtf8(c.progId)) +
              "]) -> " + c.name + ": ...\n";
    text += "@overload\ndef " + std::string(function) + "(progid: str) -> Object: ...\n";
  }
  return text;
}

void replaceLine(std::string& text, const std::string& marker, const std::string& replacement) {
  const std::string line = "# " + marker + "\n";
  const auto at = text.find(line);
  if (at == std::string::npos) throw std::runtime_error("the stub template has no line '# " + marker + "'");
  text.replace(at, line.size(), replacement);
}

}  // namespace

std::string StubWriter::typeLibraryModule(const TypeLibraryRecord& record, const std::string& version) {
  std::string text = "\"\"\"The " + record.name +
                     " type library as data, written at build time by skein10_stubgen; do not edit.\"\"\"\n\n";
  text += "VERSION = " + quoted(version) + "\n\nENUMERATIONS = {\n";
  for (const auto& e : record.enumerations) {
    text += "    " + quoted(e.name) + ": {";
    for (std::size_t i = 0; i < e.members.size(); ++i)
      text += (i ? ", " : "") + quoted(e.members[i].first) + ": " + std::to_string(e.members[i].second);
    text += "},\n";
  }
  text += "}\n\nCLASSES = [\n";
  for (const auto& c : record.classes) text += "    " + quoted(toUtf8(c.progId)) + ",\n";
  return text + "]\n";
}

std::string StubWriter::stubs(const std::string& stubTemplate, const TypeLibraryRecord& record,
                              const std::vector<ClassStub>& classes) {
  std::string text = stubTemplate;
  std::string classText;
  for (const ClassStub& c : classes) classText += classStub(c);
  replaceLine(text, "@ENUMERATIONS@", enumerations(record));
  replaceLine(text, "@CLASSES@", classText);
  replaceLine(text, "@DISPATCH@", dispatchOverloads(classes));
  return text;
}

}  // namespace skein10::python
