// cFileDialog: the open and save dialogs behind plain properties, as the
// command dispatcher uses them ("Bitmap Image Files |*.bmp", the program's
// folder, ShowOpen, then read FileName). Texts are Windows-1252 byte
// strings like the rest of the program's text.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

class QFileDialog;

namespace pw::ui {

inline constexpr std::int32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::int32_t kOfnAllowMultiSelect = 0x200;
inline constexpr std::int32_t kOfnExplorer = 0x80000;
inline constexpr std::size_t kNameBufferLength = 1024;
inline constexpr std::size_t kMultiNameBufferLength = 8192;

// "Name|*.a|Other|*.b;*.c" as Qt name filters ("Name (*.a)", ...). "|" and
// ":" both separate fields; a description without a pattern is dropped.
QStringList qt_name_filters(std::string_view filter);

class cFileDialog {
 public:
  // Called with the dialog just before it runs (tests accept or reject it;
  // a set hook also turns the platform's native dialog off). Process-wide.
  using Hook = std::function<void(QFileDialog& dialog)>;
  static void set_hook(Hook hook);

  bool Cancel() const { return cancel_; }
  bool CancelError() const { return cancel_error_; }
  void set_CancelError(bool value) { cancel_error_ = value; }
  const std::string& FileName() const { return file_name_; }
  void set_FileName(std::string value) { file_name_ = std::move(value); }
  const std::string& FileTitle() const { return file_title_; }
  void set_FileTitle(std::string value) { file_title_ = std::move(value); }
  const std::string& Filter() const { return filter_; }
  void set_Filter(std::string value) { filter_ = std::move(value); }
  std::int32_t FilterIndex() const { return filter_index_; }  // 1-based
  void set_FilterIndex(std::int32_t value) { filter_index_ = value; }
  const std::string& DefaultExt() const { return default_ext_; }
  void set_DefaultExt(std::string value) { default_ext_ = std::move(value); }
  const std::string& DialogTitle() const { return dialog_title_; }
  void set_DialogTitle(std::string value) { dialog_title_ = std::move(value); }
  std::int32_t flags() const { return flags_; }
  void set_flags(std::int32_t value) { flags_ = value; }
  QWidget* hWnd() const { return owner_.data(); }
  void set_hWnd(QWidget* owner) { owner_ = owner; }
  const std::string& InitDir() const { return init_dir_; }
  void set_InitDir(std::string value) { init_dir_ = std::move(value); }

  // Shows the open dialog. Chosen: FileName = the path, FileTitle = its name
  // (with kOfnAllowMultiSelect: FileName = the path and two NULs for one
  // file, else folder NUL name NUL ... NUL NUL). Cancelled: Cancel true,
  // FileName unchanged.
  // Error kRefused, nothing shown: FileName or FileTitle longer than the
  // name buffer (1024, or 8192 with multi-select).
  Result<void> ShowOpen();

  // Shows the save dialog. Chosen: FileName = the path. Cancelled: Cancel
  // true and FileName empty. Same error as ShowOpen (buffer 1024).
  Result<void> ShowSave();

  // Splits a multi-select FileName: one path gives its folder with the
  // trailing separator and one name; folder NUL names gives the folder (no
  // trailing separator) and each name in order. Names are appended to
  // sFiles from lFileCount upward and counted into lFileCount.
  void ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles,
                          std::int32_t& lFileCount) const;

 private:
  Result<void> check_buffers(std::size_t length) const;
  void set_up(QFileDialog& dialog) const;

  bool cancel_ = false;
  bool cancel_error_ = false;
  std::string file_name_;
  std::string file_title_;
  std::string filter_;
  std::int32_t filter_index_ = 1;
  std::string default_ext_;
  std::string dialog_title_;
  std::int32_t flags_ = 0;
  QPointer<QWidget> owner_;
  std::string init_dir_;
};

}  // namespace pw::ui
