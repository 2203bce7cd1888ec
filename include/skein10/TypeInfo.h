#pragma once
// Type information: what each class publishes about its one interface, and
// the table-driven dispatch that late binding runs through.
//
// A class writes its table once, as data:
//
//   static const InterfaceInfo info{u"_clsExample", u"{...}", {
//       member<&IExample::Name>(u"Name", MemberKind::Get, 0x68030000),
//       member<&IExample::Greet>(u"Greet", MemberKind::Method, 0x60030001,
//                                {{u"sWho", Passing::ByReference}}),
//   }};
//
// member<> reads the parameter and result types off the boundary signature
// Status (I::*)(P..., R*) and builds the invoker that converts the caller's
// arguments, calls the member and wraps its result.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "skein10/Boundary.h"
#include "skein10/Object.h"
#include "skein10/Variant.h"
#include "skein10/Export.h"

namespace skein10 {

enum class MemberKind : uint8_t { Get, Let, Set, Method };
// "get", "let", "set" or "method", as the type library record writes it.
SKEIN10_API const char* memberKindName(MemberKind kind);
enum class Passing : uint8_t { ByValue, ByReference };

struct SKEIN10_API ParamInfo {
  VarType type;
  Passing passing;
  bool optional;
  // The parameter's name as the class publishes it ("eServer", "lResId"):
  // hosts pass arguments by this name. Empty for the new value of a let or
  // set, which has none.
  String name;
};

// How a table row describes one parameter: its name and its passing (by
// value when not given). A bare Passing leaves the parameter unnamed.
struct SKEIN10_API Param {
  Param(const char16_t* name, Passing passing = Passing::ByValue) : name(name), passing(passing) {}
  Param(Passing passing) : passing(passing) {}
  String name;
  Passing passing = Passing::ByValue;
};

using Invoker = Status (*)(Object& self, std::vector<Variant>& args, Variant* result);

struct SKEIN10_API MemberInfo {
  String name;
  MemberKind kind;
  DispId id;
  std::vector<ParamInfo> params;
  VarType result;  // VarType::Empty for members without a result
  Invoker invoke;

  std::size_t requiredParams() const;
};

struct SKEIN10_API InterfaceInfo {
  String name;
  String iid;  // the interface identifier, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
  std::vector<MemberInfo> members;

  // The member that answers a call of this kind on this id, or nullptr.
  const MemberInfo* find(DispId id, InvokeKind kind) const;
  bool hasId(DispId id) const;
  // Member names compare without regard to case.
  std::optional<DispId> idOfName(StringView name) const;
};

// How a C++ boundary type crosses as a Variant.
template <class T, class = void>
struct BoundaryType;

#define SKEIN10_BOUNDARY_TYPE(T, TAG, FROM)                         \
  template <>                                                       \
  struct BoundaryType<T> {                                          \
    static constexpr VarType type = VarType::TAG;                   \
    static T from(const Variant& v) { return FROM; }                \
    static Variant to(const T& x) { return Variant(x); }            \
  };
SKEIN10_BOUNDARY_TYPE(int16_t, Integer, v.toInteger())
SKEIN10_BOUNDARY_TYPE(int32_t, Long, v.toLong())
SKEIN10_BOUNDARY_TYPE(double, Double, v.toDouble())
SKEIN10_BOUNDARY_TYPE(bool, Boolean, v.toBoolean())
SKEIN10_BOUNDARY_TYPE(String, String, v.toString())
SKEIN10_BOUNDARY_TYPE(ByteArray, ByteArray, v.toBytes())
SKEIN10_BOUNDARY_TYPE(Variant, Variant, v)
#undef SKEIN10_BOUNDARY_TYPE

// The runtime's and the library's enumerations cross as 32-bit integers.
template <class E>
struct BoundaryType<E, std::enable_if_t<std::is_enum_v<E>>> {
  static constexpr VarType type = VarType::Long;
  static E from(const Variant& v) { return static_cast<E>(v.toLong()); }
  static Variant to(E x) { return Variant(static_cast<int32_t>(x)); }
};

// Object references of any static type; a reference to an object of another
// class is a type mismatch.
template <class T>
struct BoundaryType<Ref<T>> {
  static constexpr VarType type = VarType::Object;
  static Ref<T> from(const Variant& v) {
    ObjectRef object = v.toObject();
    if (!object) return Ref<T>();
    T* typed = dynamic_cast<T*>(object.get());
    if (!typed) throw Error::runtime(errc::TypeMismatch);
    return Ref<T>(typed);
  }
  static Variant to(const Ref<T>& x) { return Variant(ObjectRef(x)); }
};

namespace detail {

template <class F>
struct Signature;
template <class I, class... A>
struct Signature<Status (I::*)(A...)> {
  using Interface = I;
  using Args = std::tuple<A...>;
};

template <class... A>
struct SplitResult {
  static constexpr bool hasResult = false;
  using Result = void;
  static constexpr std::size_t paramCount = sizeof...(A);
};
template <class A0, class... A>
  requires(std::is_pointer_v<std::tuple_element_t<sizeof...(A), std::tuple<A0, A...>>>)
struct SplitResult<A0, A...> {
  static constexpr bool hasResult = true;
  using Result = std::remove_pointer_t<std::tuple_element_t<sizeof...(A), std::tuple<A0, A...>>>;
  static constexpr std::size_t paramCount = sizeof...(A);
};

template <class Tuple>
struct SplitTuple;
template <class... A>
struct SplitTuple<std::tuple<A...>> : SplitResult<A...> {};

template <class T>
using Plain = std::remove_cvref_t<T>;

template <auto Fn, std::size_t... Is>
Status invokeMember(Object& self, std::vector<Variant>& args, Variant* result,
                    std::index_sequence<Is...>) {
  using Sig = Signature<decltype(Fn)>;
  using I = typename Sig::Interface;
  using Args = typename Sig::Args;
  using Split = SplitTuple<Args>;
  return guarded(result, [&]() -> Variant {
    std::tuple<Plain<std::tuple_element_t<Is, Args>>...> converted{
        BoundaryType<Plain<std::tuple_element_t<Is, Args>>>::from(args[Is])...};
    I& target = static_cast<I&>(self);
    if constexpr (Split::hasResult) {
      typename Split::Result out{};
      check((target.*Fn)(std::get<Is>(converted)..., &out));
      return BoundaryType<typename Split::Result>::to(out);
    } else {
      check((target.*Fn)(std::get<Is>(converted)...));
      return Variant();
    }
  });
}

}  // namespace detail

// One row of a type table, for the boundary member Fn. `params` names each
// parameter and gives its passing (unnamed and by value when not given);
// parameters from `firstOptional` on may be omitted and then arrive as the
// missing value.
template <auto Fn>
MemberInfo member(String name, MemberKind kind, DispId id,
                  std::initializer_list<Param> params = {},
                  std::size_t firstOptional = static_cast<std::size_t>(-1)) {
  using Sig = detail::Signature<decltype(Fn)>;
  using Split = detail::SplitTuple<typename Sig::Args>;
  constexpr std::size_t n = Split::paramCount;
  MemberInfo info{std::move(name), kind, id, {}, VarType::Empty, nullptr};
  [&]<std::size_t... Is>(std::index_sequence<Is...>) {
    (info.params.push_back(ParamInfo{
         BoundaryType<detail::Plain<std::tuple_element_t<Is, typename Sig::Args>>>::type,
         Is < params.size() ? params.begin()[Is].passing : Passing::ByValue, Is >= firstOptional,
         Is < params.size() ? params.begin()[Is].name : String()}),
     ...);
  }(std::make_index_sequence<n>());
  if constexpr (Split::hasResult) info.result = BoundaryType<typename Split::Result>::type;
  info.invoke = [](Object& self, std::vector<Variant>& args, Variant* result) {
    return detail::invokeMember<Fn>(self, args, result, std::make_index_sequence<n>());
  };
  return info;
}

}  // namespace skein10
