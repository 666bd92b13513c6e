#pragma once
// The dialog that asks how the entry lines of a list are read.

#include <QDialog>
#include <optional>
#include <string_view>

#include "listfile/list_reader.h"

class QKeyEvent;
class QRadioButton;
class QGroupBox;
class QPushButton;

namespace zelk::ui {

// A new chooser opens with "Automatic" selected; its texts are fixed, never
// taken from the language file. OK (or Enter) confirms; there is no cancel
// button, so Escape does nothing and only the close box declines.
class ModeChooser : public QDialog {
  Q_OBJECT
 public:
  explicit ModeChooser(QWidget* parent = nullptr);

  // Shows a new chooser modally, centred on the screen of `parent` (or the
  // primary screen). The chosen mode when it was closed with OK, nullopt when
  // it was closed any other way.
  static std::optional<listfile::ChecksumMode> ask(QWidget* parent);

  // Whether the chooser is asked before the list `listPath` is checked: its
  // modes choose between CRC-32 and MD5 lines, so for an SFV or MD5 list, a
  // list whose file name tells no kind, and no list at all (empty) it is; a
  // list of another kind is read as its name or its lines' tags tell.
  static bool asksAbout(std::string_view listPath);

  // The mode of the checked item.
  listfile::ChecksumMode selectedMode() const;

  QGroupBox* modeGroup = nullptr;
  QRadioButton* automaticItem = nullptr;
  QRadioButton* crc32Item = nullptr;
  QRadioButton* md5Item = nullptr;
  QPushButton* okButton = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void centreOnScreen();
};

}  // namespace zelk::ui
