// Writes, at build time, what the package skein10 knows of the type library:
// _typelib.py (the version, the enumerations, the classes) and the typing
// stubs __init__.pyi (from a template), both read from the tables the
// runtime serves: the type library record of the library object, and the
// type information of a fresh instance of each class, created by ProgID.
//
//   skein10_stubgen TEMPLATE.pyi OUTPUT_FOLDER VERSION

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "python/StubWriter.h"
#include "python/TypeLibraryRecord.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/Identifiers.h"

namespace {

using namespace skein10;
using namespace skein10::python;

// The record the library keeps as its resource "TYPELIB" 1.
std::string typeLibraryText() {
  const ObjectRef library = CreateObject(ids::kProgIdKvSkein10A);
  const ByteArray bytes = call(*library, u"GetProResData", {Variant(int32_t{1}), Variant(u"TYPELIB")}).toBytes();
  return std::string(bytes.begin(), bytes.end());
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes only when the text changed, so that what depends on it is not rebuilt.
void writeFile(const std::filesystem::path& file, const std::string& text) {
  if (std::filesystem::exists(file) && readFile(file) == text) return;
  std::ofstream(file) << text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: skein10_stubgen TEMPLATE.pyi OUTPUT_FOLDER VERSION\n";
    return 2;
  }
  try {
    const TypeLibraryRecord record = TypeLibraryRecord::parse(typeLibraryText());
    std::vector<ClassStub> classes;
    for (const auto& c : record.classes) {
      classes.push_back({c.name, c.progId, CreateObject(c.progId)});
    }
    const std::filesystem::path out = argv[2];
    writeFile(out / "_typelib.py", StubWriter::typeLibraryModule(record, argv[3]));
    writeFile(out / "__init__.pyi", StubWriter::stubs(readFile(argv[1]), record, classes));
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "skein10_stubgen: " << e.what() << "\n";
    return 1;
  }
}
