#include "ui/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "base/text.h"

namespace pw::ui {
namespace {

cFileDialog::Hook& hook_slot() {
  static cFileDialog::Hook hook;
  return hook;
}

QString from_cp1252(std::string_view text) { return QString::fromStdString(cp1252_to_utf8(text)); }

std::string to_cp1252(const QString& text) { return utf8_to_cp1252(text.toStdString()); }

std::vector<std::string> split_fields(std::string_view filter) {
  std::vector<std::string> fields(1);
  for (char c : filter) {
    if (c == '|' || c == ':') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Qt's own dialog gives its detail columns fixed widths, too narrow for the
// program's fonts ("235...tes"): each column takes its text's width, however
// late the folder's rows arrive. Platform dialogs have no such children.
void fit_columns(QFileDialog& dialog) {
  for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
    QHeaderView* header = view->header();
    header->setMinimumSectionSize(header->fontMetrics().horizontalAdvance(QStringLiteral("0000 bytes")));
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
  }
}

int run(QFileDialog& dialog) {
  // Qt makes its widgets only as the dialog is shown.
  QTimer::singleShot(0, &dialog, [&dialog] { fit_columns(dialog); });
  if (hook_slot()) hook_slot()(dialog);
  return dialog.exec();
}

}  // namespace

QStringList qt_name_filters(std::string_view filter) {
  const std::vector<std::string> fields = split_fields(filter);
  QStringList filters;
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    QString patterns = from_cp1252(fields[i + 1]).trimmed();
    if (patterns.isEmpty()) continue;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString description = from_cp1252(fields[i]).trimmed();
    const QString named = QLatin1Char('(') + patterns + QLatin1Char(')');
    // "Package File (*.pkg)" already shows its pattern; Qt reads it from there.
    filters.append(description.endsWith(named) ? description
                                               : description + QLatin1Char(' ') + named);
  }
  return filters;
}

void cFileDialog::set_hook(Hook hook) { hook_slot() = std::move(hook); }

Result<void> cFileDialog::check_buffers(std::size_t length) const {
  if (file_name_.size() <= length && file_title_.size() <= length) return {};
  return make_error(ErrorCode::kRefused, "file name longer than the dialog's " +
                                             std::to_string(length) + "-character buffer");
}

void cFileDialog::set_up(QFileDialog& dialog) const {
  if (hook_slot()) dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowTitle(from_cp1252(dialog_title_));
  if (!init_dir_.empty()) dialog.setDirectory(from_cp1252(init_dir_));
  const QStringList filters = qt_name_filters(filter_);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const qsizetype index = std::clamp<qsizetype>(filter_index_ - 1, 0, filters.size() - 1);
    dialog.selectNameFilter(filters[index]);
  }
  if (!default_ext_.empty()) dialog.setDefaultSuffix(from_cp1252(default_ext_));
  if (!file_name_.empty()) dialog.selectFile(from_cp1252(file_name_));
}

Result<void> cFileDialog::ShowOpen() {
  cancel_ = false;
  const bool multi = (flags_ & kOfnAllowMultiSelect) != 0;
  PW_TRY(check_buffers(multi ? kMultiNameBufferLength : kNameBufferLength));
  QFileDialog dialog(owner_.data());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  set_up(dialog);
  if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    cancel_ = true;
    return {};
  }
  const QStringList chosen = dialog.selectedFiles();
  if (!multi) {
    file_name_ = to_cp1252(QDir::toNativeSeparators(chosen.front()));
    file_title_ = to_cp1252(QFileInfo(chosen.front()).fileName());
    return {};
  }
  if (chosen.size() == 1) {
    file_name_ = to_cp1252(QDir::toNativeSeparators(chosen.front())) + std::string(2, '\0');
    return {};
  }
  file_name_ = to_cp1252(QDir::toNativeSeparators(QFileInfo(chosen.front()).absolutePath()));
  file_name_.push_back('\0');
  for (const QString& path : chosen) {
    file_name_ += to_cp1252(QFileInfo(path).fileName());
    file_name_.push_back('\0');
  }
  file_name_.push_back('\0');
  return {};
}

Result<void> cFileDialog::ShowSave() {
  cancel_ = false;
  PW_TRY(check_buffers(kNameBufferLength));
  QFileDialog dialog(owner_.data());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if ((flags_ & kOfnOverwritePrompt) == 0) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  set_up(dialog);
  if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    cancel_ = true;
    file_name_.clear();
    return {};
  }
  file_name_ = to_cp1252(QDir::toNativeSeparators(dialog.selectedFiles().front()));
  return {};
}

void cFileDialog::ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles,
                                     std::int32_t& lFileCount) const {
  const std::string_view all(file_name_);
  const std::string_view used = all.substr(0, std::min(all.find(std::string_view("\0\0", 2)), all.size()));
  if (used.find('\0') == std::string_view::npos) {
    const auto cut = std::find_if(used.rbegin(), used.rend(), is_separator).base();
    sDir.assign(used.begin(), cut);
    sFiles.assign(1, std::string(cut, used.end()));
    lFileCount = 1;
    return;
  }
  std::size_t start = used.find('\0');
  sDir.assign(used.substr(0, start));
  while (start < used.size()) {
    const std::size_t next = std::min(used.find('\0', start + 1), used.size());
    const std::string_view name = used.substr(start + 1, next - start - 1);
    start = next;
    if (name.empty()) continue;
    sFiles.resize(std::size_t(std::max(lFileCount, 0)) + 1);
    sFiles.back().assign(name);
    ++lFileCount;
  }
}

}  // namespace pw::ui
