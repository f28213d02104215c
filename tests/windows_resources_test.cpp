// The resources of the Windows binaries, read back by Windows itself: the
// DLL's version information, and the manifest each binary embeds.
#include <gtest/gtest.h>
#include <tamberlo/version.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// A binary beside this test, which is where the build puts every binary.
std::wstring besideMe(const wchar_t* file) {
  wchar_t self[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + file;
}

class VersionInfo {
 public:
  explicit VersionInfo(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) {
      data_.clear();
    }
  }
  bool present() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO* fixed() {
    void* block = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(data_.data(), L"\\", &block, &size) ||
        size < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(block);
  }

  /// The string under `name` in the US English, Unicode table; "<absent>"
  /// if there is none.
  std::wstring text(const wchar_t* name) {
    const std::wstring key =
        std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), key.c_str(), &block, &length)) {
      return L"<absent>";
    }
    const auto* chars = static_cast<const wchar_t*>(block);
    std::wstring value(chars, length);
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
  }

 private:
  std::vector<unsigned char> data_;
};

TEST(WindowsResources, DllVersionInformation) {
  VersionInfo info(besideMe(L"Tamberlo.dll"));
  ASSERT_TRUE(info.present());
  const VS_FIXEDFILEINFO* fixed = info.fixed();
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD high = MAKELONG(TAMBERLO_VERSION_MINOR, TAMBERLO_VERSION_MAJOR);
  const DWORD low = MAKELONG(TAMBERLO_VERSION_TWEAK, TAMBERLO_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  // Only a Debug build may claim to be one.
  EXPECT_EQ((fixed->dwFileFlags & fixed->dwFileFlagsMask & VS_FF_DEBUG) != 0,
            TAMBERLO_EXPECT_DEBUG != 0);

  const std::wstring version = TAMBERLO_VERSION_TEXT;
  EXPECT_EQ(info.text(L"FileVersion"), version);
  EXPECT_EQ(info.text(L"ProductVersion"), version);
  EXPECT_EQ(info.text(L"InternalName"), L"Tamberlo.dll");
  EXPECT_EQ(info.text(L"OriginalFilename"), L"Tamberlo.dll");
  for (const wchar_t* empty : {L"CompanyName", L"FileDescription",
                               L"LegalCopyright", L"ProductName"}) {
    EXPECT_EQ(info.text(empty), L"") << empty;
  }
}

TEST(WindowsResources, ProgramHasNoVersionInformation) {
  const std::wstring program = besideMe(L"Pellory.exe");
  ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(VersionInfo(program).present());
}

// The embedded manifest with resource id `id` of `file`, as text (24 is
// RT_MANIFEST, whose macro is not wide).
std::string manifest(const std::wstring& file, WORD id) {
  HMODULE module =
      LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "<not loaded>";
  std::string text = "<no manifest>";
  if (HRSRC found =
          FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24))) {
    const DWORD size = SizeofResource(module, found);
    if (HGLOBAL loaded = LoadResource(module, found)) {
      text.assign(static_cast<const char*>(LockResource(loaded)), size);
    }
  }
  FreeLibrary(module);
  return text;
}

// The start tag of the first `element`, attributes included.
std::string startTag(const std::string& xml, const std::string& element) {
  const auto at = xml.find("<" + element);
  if (at == std::string::npos) return "";
  return xml.substr(at, xml.find('>', at) - at + 1);
}

TEST(WindowsResources, DllManifestRunsAsInvokerAndIsDpiAware) {
  const std::string xml = manifest(besideMe(L"Tamberlo.dll"), 2);
  const std::string level = startTag(xml, "requestedExecutionLevel");
  EXPECT_NE(level.find("level=\"asInvoker\""), std::string::npos) << xml;
  EXPECT_NE(level.find("uiAccess=\"false\""), std::string::npos) << xml;
  const std::string dpi = startTag(xml, "dpiAware");
  ASSERT_FALSE(dpi.empty()) << xml;
  EXPECT_EQ(xml.compare(xml.find(dpi) + dpi.size(), 15, "true</dpiAware>"), 0)
      << xml;
}

TEST(WindowsResources, ProgramManifestRunsAsInvokerWithoutDpiSetting) {
  const std::string xml = manifest(besideMe(L"Pellory.exe"), 1);
  const std::string level = startTag(xml, "requestedExecutionLevel");
  EXPECT_NE(level.find("level=\"asInvoker\""), std::string::npos) << xml;
  EXPECT_NE(level.find("uiAccess=\"false\""), std::string::npos) << xml;
  EXPECT_EQ(xml.find("dpiAware"), std::string::npos) << xml;
}

}  // namespace
