#pragma once
// Counted references to runtime objects.

#include <cstddef>
#include <utility>

namespace skein10 {

// Holds one counted reference to a T (anything with addRef/release).
template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  explicit Ref(T* p) noexcept : p_(p) {
    if (p_) p_->addRef();
  }
  Ref(const Ref& other) noexcept : Ref(other.p_) {}
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& other) noexcept : Ref(other.get()) {}
  ~Ref() { reset(); }

  Ref& operator=(Ref other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  void reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->release();
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.p_ == b.p_; }

 private:
  T* p_ = nullptr;
};

// Creates a T and hands back the first reference to it. The object is
// destroyed when its last reference is released.
template <class T, class... Args>
Ref<T> makeRef(Args&&... args) {
  return Ref<T>(new T(std::forward<Args>(args)...));
}

// A reference of another static type to the same object.
template <class To, class From>
Ref<To> refCast(const Ref<From>& from) noexcept {
  return Ref<To>(static_cast<To*>(from.get()));
}

}  // namespace skein10
