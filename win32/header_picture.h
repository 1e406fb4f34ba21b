#pragma once

// The header's picture, decoded from the program's resources.

#include <windows.h>

namespace tamsel::win32 {

// The resource that holds the header picture as a JPEG or PNG file.
inline constexpr const wchar_t* kHeaderPictureResource = L"HEADER";

// The picture as a 32-bit bitmap the caller owns, or nullptr when the program carries none
// or it cannot be decoded. COM must be initialised on the calling thread.
HBITMAP LoadHeaderPicture(HINSTANCE instance);

}  // namespace tamsel::win32
