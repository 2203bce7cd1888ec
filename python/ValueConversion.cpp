#include "python/ValueConversion.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "python/DispatchObject.h"

namespace skein10::python {
namespace {

std::string typeNameOf(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

[[noreturn]] void wrongType(py::handle value, const std::string& what, const char* wanted) {
  throw py::type_error(what + " must be " + wanted + ", not " + typeNameOf(value));
}

bool isPathLike(py::handle value) { return py::hasattr(value, "__fspath__"); }

bool isBytesLike(py::handle value) {
  return py::isinstance<py::bytes>(value) || PyByteArray_Check(value.ptr()) || PyMemoryView_Check(value.ptr());
}

// os.fspath(), with a bytes path decoded as the file system does
// (os.fsdecode: undecodable bytes become lone surrogates).
String pathText(py::handle value) {
  py::object path = py::module_::import("os").attr("fsdecode")(value);
  return toText(path);
}

[[noreturn]] void overflow(const std::string& what, const char* typeName) {
  PyErr_SetString(PyExc_OverflowError, (what + " does not fit a " + typeName).c_str());
  throw py::error_already_set();
}

template <class Int>
Variant integer(py::handle value, const std::string& what, const char* typeName) {
  if (py::isinstance<py::bool_>(value)) return Variant(value.cast<bool>());
  if (!py::isinstance<py::int_>(value)) wrongType(value, what, "int");
  int overflowed = 0;
  const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflowed);
  if (overflowed || n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
    overflow(what, typeName);
  return Variant(static_cast<Int>(n));
}

ByteArray bytesOf(py::handle value) {
  const std::string bytes = py::bytes(py::module_::import("builtins").attr("bytes")(value));
  return ByteArray(bytes.begin(), bytes.end());
}

Variant array(py::handle value) {
  Variant::Array items;
  for (py::handle item : value) items.push_back(toVariant(item));
  return Variant(std::move(items));
}

}  // namespace

String toText(py::handle text) {
  py::object encoded = py::reinterpret_steal<py::object>(
      PyUnicode_AsEncodedString(text.ptr(), "utf-16-le", "surrogatepass"));
  if (!encoded) throw py::error_already_set();
  char* data = nullptr;
  Py_ssize_t size = 0;
  PyBytes_AsStringAndSize(encoded.ptr(), &data, &size);
  String result(static_cast<std::size_t>(size) / 2, u'\0');
  std::memcpy(result.data(), data, static_cast<std::size_t>(size));
  return result;
}

py::str fromText(StringView text) {
  int byteOrder = -1;  // little-endian, as the runtime's text is in memory here
  PyObject* decoded = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                            static_cast<Py_ssize_t>(text.size() * 2), "surrogatepass", &byteOrder);
  if (!decoded) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

Variant toVariant(py::handle value) {
  if (value.is_none()) return Variant();
  if (py::isinstance<py::bool_>(value)) return Variant(value.cast<bool>());
  if (py::isinstance<py::int_>(value)) return integer<int32_t>(value, "an int", "32-bit Long");
  if (py::isinstance<py::float_>(value)) return Variant(value.cast<double>());
  if (py::isinstance<py::str>(value)) return Variant(toText(value));
  if (isBytesLike(value)) return Variant(bytesOf(value));
  if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) return array(value);
  if (py::isinstance<DispatchObject>(value)) return Variant(value.cast<DispatchObject&>().object());
  if (isPathLike(value)) return Variant(pathText(value));
  throw py::type_error("a " + typeNameOf(value) + " can't be passed to a component");
}

py::object fromVariant(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty: return py::none();
    case VarType::Integer: return py::int_(*value.as<int16_t>());
    case VarType::Long: return py::int_(*value.as<int32_t>());
    case VarType::Double: return py::float_(*value.as<double>());
    case VarType::String: return fromText(*value.as<String>());
    case VarType::Boolean: return py::bool_(*value.as<bool>());
    case VarType::Object: return DispatchObject::wrap(*value.as<ObjectRef>());
    case VarType::ByteArray: {
      const ByteArray& bytes = *value.as<ByteArray>();
      return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case VarType::Array: {
      py::list items;
      for (const Variant& item : *value.as<Variant::Array>()) items.append(fromVariant(item));
      return items;
    }
    case VarType::Error:
      if (value.isMissing()) return py::none();
      return py::int_(value.as<ErrorValue>()->code);
    case VarType::Variant: break;
  }
  return py::none();
}

Variant toParameter(py::handle value, VarType type, const std::string& what) {
  switch (type) {
    case VarType::Long: return integer<int32_t>(value, what, "32-bit Long");
    case VarType::Integer: return integer<int16_t>(value, what, "16-bit Integer");
    case VarType::Double:
      if (py::isinstance<py::float_>(value) || py::isinstance<py::int_>(value)) return Variant(value.cast<double>());
      wrongType(value, what, "float");
    case VarType::Boolean:
      if (py::isinstance<py::bool_>(value) || py::isinstance<py::int_>(value)) return Variant(value.cast<bool>());
      wrongType(value, what, "bool");
    case VarType::String:
      if (py::isinstance<py::str>(value)) return Variant(toText(value));
      if (isPathLike(value)) return Variant(pathText(value));
      if (py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value))
        return Variant(toText(py::str(value)));
      wrongType(value, what, "str or os.PathLike");
    case VarType::Object:
      if (value.is_none()) return Variant(ObjectRef());
      if (py::isinstance<DispatchObject>(value)) return Variant(value.cast<DispatchObject&>().object());
      wrongType(value, what, "a skein10 object or None");
    case VarType::ByteArray:
      if (isBytesLike(value)) return Variant(bytesOf(value));
      wrongType(value, what, "bytes");
    case VarType::Array:
      if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) return array(value);
      wrongType(value, what, "list or tuple");
    case VarType::Empty:
    case VarType::Error:
    case VarType::Variant: break;
  }
  return toVariant(value);
}

}  // namespace skein10::python
