#include "reports/framework/letter_record.h"

#include <chrono>

#include "reports/framework/standard_messages.h"
#include "runtime/store/errors.h"
#include "runtime/store/transaction.h"

namespace tdx::reports {
namespace {

// The module's record position buffer, kept for the re-read after a refused update.
store::Position g_update_position{};

std::string label(const store::KeyedFile& file) { return file.decl().label; }

}  // namespace

int update_letter(store::KeyedFile& file) {
  if (!store::logout(std::chrono::seconds(kLetterLockWaitSeconds), {&file}).ok()) {
    save_error();
    standard_message(34, "Update", label(file));
    return kLetterFailed;
  }
  const bool positioned = file.has_current();
  if (positioned) g_update_position = file.position();
  Status s = file.put();
  // A failed commit is a failed write: the transaction was rolled back, nothing was stored.
  if (s.ok()) s = store::commit();
  if (s.ok()) return kLetterDone;
  save_status(s);
  const bool changed = saved_error().code == store::kChangedByOther;
  standard_message(15, label(file));
  if (changed && positioned) {
    file.watch();
    (void)file.reget(g_update_position);
    return kLetterChanged;
  }
  return kLetterFailed;
}

int delete_letter(store::KeyedFile& file) {
  store::Position position{};
  const bool positioned = file.has_current();
  if (positioned) position = file.position();
  if (!store::logout(std::chrono::seconds(kLetterLockWaitSeconds), {&file}).ok()) {
    save_error();
    standard_message(34, "Delete", label(file));
    return kLetterFailed;
  }
  Status s = positioned ? file.reget(position) : store::make_error(store::kRecordNotAvailable);
  if (s.ok()) s = file.erase();
  if (s.ok()) s = store::commit();
  if (!s.ok()) {
    save_status(s);
    standard_message(17, label(file));
    return kLetterFailed;
  }
  return kLetterDone;
}

}  // namespace tdx::reports
