#include "app/desktop/undo_command.h"

#include "app/aircraft_session.h"
#include "app/command_texts.h"
#include "app/desktop/screen_lists.h"
#include "app/history_commands.h"
#include "base/file_ops.h"

namespace pw {
namespace {

constexpr const char* kUndoTitle = "Undo Last Operation";
// About what the main screen's label holds on one line, and what a message
// box shows before it gets taller than the screen.
constexpr std::size_t kLineChars = 120;
constexpr std::size_t kMessageChars = 600;

std::string shortened(std::string text, std::size_t most) {
  if (text.size() > most) text = text.substr(0, most - 3) + "...";
  return text;
}

// "20261207-143700.123 UTC" as "2026-12-07 14:37 UTC"; an unexpected text
// as it is.
std::string readable_time(const std::string& time) {
  if (time.size() != 23 || time[8] != '-' || !time.ends_with(" UTC")) return time;
  return time.substr(0, 4) + "-" + time.substr(4, 2) + "-" + time.substr(6, 2) + " " + time.substr(9, 2) + ":" +
         time.substr(11, 2) + " UTC";
}

// "install of 2026-12-07 14:37 UTC"; a point that was never sealed has no
// time, its folder's name says when.
std::string operation_name(const RestorePoint& point) {
  const RestoreManifest& m = point.manifest;
  return m.operation + " of " + (m.time.empty() ? file_name(point.folder) : readable_time(m.time));
}

std::string operation_line(const LastOperation& last) {
  const RestoreManifest& m = last.point->manifest;
  std::string line = last.can_undo ? "Last operation: " : "Last operation (undone): ";
  line += readable_time(m.time) + ", " + m.operation;
  if (const std::string changes = history_changes(m, false); !changes.empty()) line += ": " + changes;
  return shortened(line, kLineChars);
}

// The lock is released on return, before the screens are refreshed.
Result<UndoReport> undo_under_lock(AppContext& ctx, const std::string& point_name) {
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft) return aircraft.error();
  return aircraft->undo(point_name);
}

}  // namespace

void show_last_operation(AppContext& ctx) {
  const Result<LastOperation> last = last_operation(ctx.fs, ctx.state.g_AircraftFolder);
  std::string line;
  if (!last) {
    line = shortened("Last operation: unknown, the history cannot be read: " + last.error().message, kLineChars);
  } else if (last->point) {
    line = operation_line(*last);
  }
  ctx.view.set_label("frm_Main", "lblLastOperation", line);
  ctx.view.set_button_state("frm_Main", "btn_Undo", last && last->can_undo ? "enabled" : "disabled");
}

void run_undo_command(AppContext& ctx) {
  const std::string& folder = ctx.state.g_AircraftFolder;
  const Result<LastOperation> last = last_operation(ctx.fs, folder);
  if (!last || !last->can_undo) return show_last_operation(ctx);  // the history changed behind the screen
  const std::string name = operation_name(*last->point);
  std::vector<std::string> question{"You are about to undo the " + name + ":", "",
                                    shortened(history_changes(last->point->manifest, false), kMessageChars)};
  for (const std::string& package : last->point->manifest.packages_deleted) {
    question.insert(question.end(), {"", "The package " + file_name(package) + " was deleted and will not come back."});
  }
  question.insert(question.end(), {"", "Do you wish to continue?"});
  if (ctx.view.ShowMessage(cr_lines(question), kStyleYesNo | kStyleQuestion, kUndoTitle) != kResultYes) return;
  ctx.view.set_busy(true);
  // The point the question named: one recorded meanwhile is refused.
  const Result<UndoReport> undone = undo_under_lock(ctx, file_name(last->point->folder));
  ctx.view.set_busy(false);
  reread_aircraft(ctx);
  if (!undone) {
    ctx.view.ShowMessage(with_reason("The " + name + " could not be undone.", undone.error()), kStyleCritical,
                         kUndoTitle);
    return;
  }
  std::vector<std::string> lines{"The " + operation_name(undone->point) + " has been undone."};
  if (!undone->history_note.empty()) lines.insert(lines.end(), {"", undone->history_note});
  ctx.view.ShowMessage(cr_lines(lines), kStyleInformation, kUndoTitle);
}

}  // namespace pw
