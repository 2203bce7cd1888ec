#pragma once
// The fixed identifiers of the Skein10 type library, its classes, their
// interfaces and its enumerations, and the classes' ProgIDs.

namespace skein10::ids {

inline constexpr char16_t kTypeLibrary[] = u"{6B1E0A42-5C3D-4E8F-9A21-0F0D3C2B1A00}";
inline constexpr char16_t kTypeLibraryName[] = u"Skein10";
inline constexpr char16_t kTypeLibraryVersion[] = u"1.0";

inline constexpr char16_t kClsKvSkein10A[] = u"{6B1E0A41-5C3D-4E8F-9A21-0F0D3C2B1A01}";
inline constexpr char16_t kClsKvInetGeneralA[] = u"{6B1E0A41-5C3D-4E8F-9A21-0F0D3C2B1A02}";
inline constexpr char16_t kClsKvInetAdvancedA[] = u"{6B1E0A41-5C3D-4E8F-9A21-0F0D3C2B1A03}";
inline constexpr char16_t kClsKvInetURLCacheA[] = u"{6B1E0A41-5C3D-4E8F-9A21-0F0D3C2B1A04}";
inline constexpr char16_t kClsKvInetFTPConnection[] = u"{6B1E0A41-5C3D-4E8F-9A21-0F0D3C2B1A05}";

inline constexpr char16_t kIidClsKvSkein10A[] = u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A01}";
inline constexpr char16_t kIidClsKvInetGeneralA[] = u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A02}";
inline constexpr char16_t kIidClsKvInetAdvancedA[] = u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A03}";
inline constexpr char16_t kIidClsKvInetURLCacheA[] = u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A04}";
inline constexpr char16_t kIidClsKvInetFTPConnection[] = u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A05}";

inline constexpr char16_t kEnumTransferModes[] = u"{6B1E0A43-5C3D-4E8F-9A21-0F0D3C2B1A01}";
inline constexpr char16_t kEnumErrorReturns[] = u"{6B1E0A43-5C3D-4E8F-9A21-0F0D3C2B1A02}";

inline constexpr char16_t kProgIdKvSkein10A[] = u"Skein10.clsKvSkein10A";
inline constexpr char16_t kProgIdKvInetGeneralA[] = u"Skein10.clsKvInetGeneralA";
inline constexpr char16_t kProgIdKvInetAdvancedA[] = u"Skein10.clsKvInetAdvancedA";
inline constexpr char16_t kProgIdKvInetURLCacheA[] = u"Skein10.clsKvInetURLCacheA";
inline constexpr char16_t kProgIdKvInetFTPConnection[] = u"Skein10.clsKvInetFTPConnection";

}  // namespace skein10::ids
