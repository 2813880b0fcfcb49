// Owning holder for a COM interface pointer: releases it exactly once.
#pragma once

#include <objbase.h>

#include <utility>

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : ptr_(adopted) {}
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // For out-parameters of COM calls: releases what is held, then hands out the slot.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }
  T* Detach() { return std::exchange(ptr_, nullptr); }

  template <typename U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> result;
    if (ptr_) ptr_->QueryInterface(iid, result.PutVoid());
    return result;
  }

 private:
  T* ptr_ = nullptr;
};
