// Shared pieces of the file-opening tests: a small declaration, a scripted user, a halt that is
// recorded instead of ending the test program, and other stations as child processes.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "reports/framework/standard_messages.h"
#include "runtime/store/decl.h"
#include "runtime/ui/scripted_frontend.h"

namespace tdx::reports::testing {

// NAME STRING(20), CODE STRING(10); key BY_CODE (unique) and, with `second_key`, BY_NAME.
inline std::shared_ptr<const store::FileDecl> item_decl(const std::string& file,
                                                        bool second_key = false,
                                                        uint32_t record = 30) {
  static const store::FieldSpec fields[] = {{"NAME", FieldType::String, 0, 20},
                                            {"CODE", FieldType::String, 20, 10}};
  std::vector<store::KeySpec> keys = {{"BY_CODE", "CODE", store::kUnique}};
  if (second_key) keys.push_back({"BY_NAME", "NAME", store::kDup});
  auto d = store::build_decl("ITEM", file, "ITM", record, fields, {}, keys);
  return d.ok() ? *d : nullptr;
}

// A scripted user for one test, and the halts asked for while it runs.
struct ScriptedRun {
  ui::ScriptedFrontend fe;
  std::unique_ptr<ui::ScopedFrontend> scope;
  std::vector<std::string> halts;
  HaltHandler previous;

  explicit ScriptedRun(const std::string& script) {
    EXPECT_TRUE(fe.load(script).ok());
    scope = std::make_unique<ui::ScopedFrontend>(&fe);
    previous = set_halt_handler([this](const std::string& t) { halts.push_back(t); });
  }
  ~ScriptedRun() { set_halt_handler(previous); }
  const std::string& transcript() const { return fe.transcript(); }
  bool shows(const std::string& text) const { return transcript().find(text) != std::string::npos; }
};

// Runs `body` in a child process (another station); its return value is the exit code.
template <typename F>
pid_t spawn(F body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  return pid;
}
inline int wait_exit(pid_t pid) {
  int st = 0;
  waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : 100;
}

// A pipe one process writes a byte to when it is ready.
struct Ready {
  int fd[2];
  Ready() { EXPECT_EQ(pipe(fd), 0); }
  ~Ready() { close(fd[0]), close(fd[1]); }
  void raise() { (void)!write(fd[1], "x", 1); }
  void wait() {
    char c;
    (void)!read(fd[0], &c, 1);
  }
};

}  // namespace tdx::reports::testing
