// A macro program made on Windows: a copy of Tapbolt.exe with the macro after it, started from
// a console with --dry-run, in a folder whose name is not ASCII.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/utf16_win32.h"
#include "probe_process.h"
#include "script/make_exe.h"

namespace qb::win32test {
namespace {

struct Ran {  // a program that ran to its end
  DWORD status = 0;
  std::string out;  // with the console's CR LF as LF
};

// Runs a program with its output read through a pipe, waiting for it to end.
Ran runProgram(const std::string& program, const std::string& arguments) {
  Ran run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring line =
      L"\"" + qb::win32::utf16FromUtf8(program) + L"\" " + qb::win32::utf16FromUtf8(arguments);
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
      run.out.append(buffer, got);
    WaitForSingleObject(child.hProcess, 30000);
    GetExitCodeProcess(child.hProcess, &run.status);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  CloseHandle(readEnd);
  std::string lines;
  for (const char c : run.out)
    if (c != '\r') lines += c;
  run.out = lines;
  return run;
}

TEST(MadePrograms, ACopyOfTheStubPlaysItsMacroAndTheBareStubSaysItHasNone) {
  const std::string stub = ownFolder() + "\\..\\..\\programs\\Tapbolt.exe";
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = qb::win32::utf8FromUtf16(temp) + "qb made Müller";
  CreateDirectoryW(qb::win32::utf16FromUtf8(folder).c_str(), nullptr);

  struct Case {
    const char* name;
    const char* macro;
    bool advanced;
    const char* plays;
  };
  for (const Case& c :
       {Case{"Macro-a.exe", "m:100,100-1000\r\nm:200,200-1500\r\nm:clickl-3500\r\n", false,
             "0 SetMousePos 100 100\n500 SetMousePos 200 200\n2500 LeftDown\n2500 LeftUp\n"},
        Case{"Macro-AM-b.exe", "m:leftclick\r\nw:hi\r\nwaiting=250\r\nw:{enter}\r\n", true,
             "0 LeftDown\n0 LeftUp\n0 SendKeyString wait hi\n250 SendKeyString wait {enter}\n"}}) {
    const std::string program = folder + "\\" + c.name;
    const auto made = writeStandAloneProgram(stub, program, c.macro, c.advanced);
    ASSERT_TRUE(made) << made.message();
    const Ran run = runProgram(program, "--dry-run");
    EXPECT_EQ(run.status, 0u) << c.name;
    EXPECT_EQ(run.out, c.plays) << c.name;
    DeleteFileW(qb::win32::utf16FromUtf8(program).c_str());
  }
  RemoveDirectoryW(qb::win32::utf16FromUtf8(folder).c_str());

  const Ran bare = runProgram(stub, "--dry-run");
  EXPECT_EQ(bare.status, 1u);
  EXPECT_EQ(bare.out.rfind("0 MessageBox There is no macro in ", 0), 0u) << bare.out;
  EXPECT_NE(bare.out.find("Tapbolt.exe"), std::string::npos) << bare.out;
}

}  // namespace
}  // namespace qb::win32test
