#pragma once
// A fixed array of count values of T whose storage is not cleared when it
// is made. dgVector zeroes itself, and a scratch array of them in a hot
// routine costs more to clear than to use; every entry must be written
// before it is read.

#include <new>
#include <type_traits>

template <class T, int count>
class dgUnclearedArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  dgUnclearedArray() {}
  dgUnclearedArray(const dgUnclearedArray&) = delete;
  dgUnclearedArray& operator=(const dgUnclearedArray&) = delete;

  T* Data() { return std::launder(reinterpret_cast<T*>(bytes_)); }
  const T* Data() const { return std::launder(reinterpret_cast<const T*>(bytes_)); }
  T& operator[](int i) { return Data()[i]; }
  const T& operator[](int i) const { return Data()[i]; }

 private:
  alignas(T) unsigned char bytes_[count * sizeof(T)];
};
