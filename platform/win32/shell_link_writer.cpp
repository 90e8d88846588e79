#include "platform/win32/shell_link_writer.h"

#include <windows.h>
// windows.h first: the shell and COM headers need its types.
#include <commctrl.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "common/utf16_win32.h"
#include "platform/win32/system_error_text.h"

namespace qb::platform::win32 {
namespace {

// COM for the calling thread, for as long as this lives; left as it is when the thread already
// has it in another mode.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

// Releases a COM interface when it goes.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface** out() { return &pointer_; }
  void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

std::string reason(HRESULT result) {
  return systemErrorText(static_cast<unsigned long>(result));
}

std::wstring folderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::optional<std::uint16_t> shellLinkHotKey(std::string_view text) {
  if (text.empty()) return std::uint16_t{0};
  BYTE modifiers = 0;
  for (const auto& [prefix, flag] : {std::pair<std::string_view, BYTE>{"CTRL+", HOTKEYF_CONTROL},
                                     {"SHIFT+", HOTKEYF_SHIFT},
                                     {"ALT+", HOTKEYF_ALT}})
    if (text.substr(0, prefix.size()) == prefix) {
      modifiers |= flag;
      text.remove_prefix(prefix.size());
    }
  BYTE key = 0;
  if (text.size() >= 2 && text.size() <= 3 && text[0] == 'F') {
    const int number = std::atoi(std::string(text.substr(1)).c_str());
    if (number < 1 || number > 12) return std::nullopt;
    key = static_cast<BYTE>(VK_F1 + number - 1);
  } else if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
    // The key list names the letter keys by their capitals: the key alone, with no Shift that
    // the capital would otherwise bring. A letter's virtual key is its capital on every layout.
    key = static_cast<BYTE>(text[0]);
  } else if (text.size() == 1) {
    const SHORT scan = VkKeyScanW(static_cast<WCHAR>(static_cast<unsigned char>(text[0])));
    if (scan == -1 || ((scan >> 8) & 0x06) != 0) return std::nullopt;  // none, or AltGr
    key = static_cast<BYTE>(scan & 0xff);
    if ((scan >> 8) & 1) modifiers |= HOTKEYF_SHIFT;
  } else {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(MAKEWORD(key, modifiers));
}

Result<> ShellLinkWriter::write(const Shortcut& shortcut) {
  const auto failed = [&](const std::string& why) { return fail(shortcut.path + ": " + why); };
  const std::optional<std::uint16_t> hotKey = shellLinkHotKey(shortcut.hotKey);
  if (!hotKey) return failed("the hot key " + shortcut.hotKey + " has no key on this keyboard");
  const ComScope com;
  ComPointer<IShellLinkW> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.outVoid());
  if (FAILED(result)) return failed("the shell cannot make shortcuts: " + reason(result));
  const std::wstring target = qb::win32::utf16FromUtf8(shortcut.target);
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(folderOf(target).c_str());
  link->SetHotkey(*hotKey);
  ComPointer<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, file.outVoid());
  if (FAILED(result)) return failed(reason(result));
  result = file->Save(qb::win32::utf16FromUtf8(shortcut.path).c_str(), TRUE);
  if (FAILED(result)) return failed(reason(result));
  return {};
}

Result<ShellLinkContents> readShellLink(const std::string& path) {
  const ComScope com;
  ComPointer<IShellLinkW> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.outVoid());
  if (FAILED(result)) return fail(path + ": " + reason(result));
  ComPointer<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, file.outVoid());
  if (SUCCEEDED(result)) result = file->Load(qb::win32::utf16FromUtf8(path).c_str(), STGM_READ);
  if (FAILED(result)) return fail(path + ": " + reason(result));
  ShellLinkContents contents;
  wchar_t text[MAX_PATH * 4] = {};
  if (SUCCEEDED(link->GetPath(text, static_cast<int>(std::size(text)), nullptr, SLGP_RAWPATH)))
    contents.target = qb::win32::utf8FromUtf16(text);
  text[0] = L'\0';
  if (SUCCEEDED(link->GetWorkingDirectory(text, static_cast<int>(std::size(text)))))
    contents.workingFolder = qb::win32::utf8FromUtf16(text);
  WORD hotKey = 0;
  if (SUCCEEDED(link->GetHotkey(&hotKey))) contents.hotKey = hotKey;
  return contents;
}

}  // namespace qb::platform::win32
