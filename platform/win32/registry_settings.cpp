#include "platform/win32/registry_settings.h"

#include <windows.h>

#include "common/utf16_win32.h"
#include "platform/win32/system_error_text.h"

namespace qb::platform::win32 {

RegistrySettings::RegistrySettings(std::string programKey) : programKey_(std::move(programKey)) {}

std::string RegistrySettings::sectionKey(std::string_view section) const {
  return programKey_ + "\\" + std::string(section);
}

std::optional<std::string> RegistrySettings::read(std::string_view section, std::string_view key) {
  const std::wstring path = qb::win32::utf16FromUtf8(sectionKey(section));
  const std::wstring name = qb::win32::utf16FromUtf8(key);
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  // The value may grow between the two calls: asked again until it fits.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                        RRF_RT_REG_SZ, nullptr, value.data(), &size);
    if (status == ERROR_MORE_DATA) {
      bytes = size;
      continue;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return qb::win32::utf8FromUtf16(value);
  }
  return std::nullopt;
}

Result<> RegistrySettings::write(std::string_view section, std::string_view key,
                                 std::string_view value) {
  const std::string where = "HKEY_CURRENT_USER\\" + sectionKey(section) + "\\" + std::string(key);
  HKEY handle = nullptr;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CURRENT_USER, qb::win32::utf16FromUtf8(sectionKey(section)).c_str(), 0,
                      nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return fail(where + ": " + systemErrorText(status));
  const std::wstring text = qb::win32::utf16FromUtf8(value);
  status = RegSetValueExW(handle, qb::win32::utf16FromUtf8(key).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return fail(where + ": " + systemErrorText(status));
  return {};
}

void RegistrySettings::removeAll() {
  RegDeleteTreeW(HKEY_CURRENT_USER, qb::win32::utf16FromUtf8(programKey_).c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, qb::win32::utf16FromUtf8(programKey_).c_str());
}

}  // namespace qb::platform::win32
