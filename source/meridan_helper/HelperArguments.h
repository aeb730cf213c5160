// Argument conversions of the DLLFcts methods: automation strings to 8-bit
// ANSI temporaries and back, and caller arrays to the address of element 0.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <vector>

// A zero-terminated 8-bit copy of an automation string in the system's ANSI
// code page. The library may write into it; nothing goes back to the caller
// unless CopyBackFullLength is called.
class AnsiText {
 public:
  // `minimumLength` reserves room for at least that many bytes before the
  // terminating zero, `spare` that many more bytes behind it; all room behind
  // the text is filled with zeros.
  HRESULT Make(BSTR text, size_t minimumLength = 0, size_t spare = 0);
  char* Data() { return bytes_.data(); }

  // Converts the temporary over the byte length of the original text (zeros
  // and all) back into `text`, which therefore keeps its length.
  HRESULT CopyBackFullLength(BSTR* text) const;

 private:
  std::vector<char> bytes_;
  int length_ = 0;
};

// A caller's array checked and locked for the duration of one library call.
class ArrayArgument {
 public:
  ArrayArgument() = default;
  ArrayArgument(const ArrayArgument&) = delete;
  ArrayArgument& operator=(const ArrayArgument&) = delete;
  ~ArrayArgument();

  // Accepts a one-dimensional, allocated array of `element` values whose
  // index range holds 0 and every index up to `highestIndexRead`; otherwise
  // raises the automation error (subscript out of range, or type mismatch for
  // another element type) naming the parameter.
  HRESULT Check(SAFEARRAY** argument, VARTYPE element, LONG highestIndexRead, const wchar_t* name, REFIID iid);

  template <typename T>
  T* Element0() const {
    return static_cast<T*>(element0_);
  }

 private:
  SAFEARRAY* locked_ = nullptr;
  void* element0_ = nullptr;
};

constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
