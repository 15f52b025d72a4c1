// Data exchange between a dialog's values and its controls, in the manner of
// a DDX map: one exchange function per dialog names each control and the
// value it shows, and serves both directions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog_values.h"
#include "ui/win32/dialog.h"

namespace tabiro::ui {

enum class Direction { Show, Take };  // values to controls, controls to values

class Exchange {
 public:
  Exchange(HWND dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

  void text(int id, std::string& value);
  // A field that holds no whole number is refused: the message, the focus on
  // the field, and nothing further is taken.
  void integer(int id, int& value);
  // The same, and a number outside min..max is refused with the range's message.
  void integer(int id, int& value, int min, int max);
  // The radio buttons firstId..lastId: the index of the checked one, -1 for none.
  void radio(int firstId, int lastId, int& index);
  void check(int id, int& value);  // 1 ticked, 0 not
  // A drop-down list: the index of the chosen item, -1 for none.
  void choice(int id, int& index);

  bool failed() const { return failed_; }

 private:
  bool skip() const { return failed_; }
  void refuse(int id, const std::string& message);

  HWND dialog_;
  Direction direction_;
  bool failed_ = false;
};

// A modal dialog whose values live in its exchange function. OK takes the
// values and ends the dialog only when every field held a valid value;
// Cancel ends it without taking anything.
class ExchangeDialog : public Dialog {
 protected:
  ExchangeDialog(HINSTANCE instance, int templateId) : Dialog(instance, templateId) {}

  virtual void exchange(Exchange& dx) = 0;
  // After the template's controls exist: show the values, apply the rules.
  virtual void onInit() = 0;
  virtual void onCommand(int id) { (void)id; }
  // True when the dialog may end with OK.
  virtual bool onOk() { return updateData(Direction::Take); }

  // False when a field refused its value.
  bool updateData(Direction direction);
  void enableControls(const std::vector<ControlEnable>& rules);
  bool isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
  // A tooltip for a control; the first creates the dialog's tooltip control,
  // which watches the controls' mouse messages itself.
  void addTooltip(int id, const char* text);

  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  HWND tooltip_ = nullptr;
};

// The items of a combo box, in order, replacing what it held.
void setChoices(HWND dialog, int id, const std::vector<std::string>& items);

// A horizontal slider of the dialog: its range and position.
void setSlider(HWND dialog, int id, int min, int max, int position);
int sliderPosition(HWND dialog, int id);

}  // namespace tabiro::ui
