#include "ui/win32/exchange.h"

#include <commctrl.h>

namespace tabiro::ui {

void Exchange::text(int id, std::string& value) {
  if (skip()) return;
  HWND control = GetDlgItem(dialog_, id);
  if (direction_ == Direction::Show) {
    SetWindowTextA(control, value.c_str());
    return;
  }
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(control, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  value = std::move(text);
}

void Exchange::integer(int id, int& value) {
  if (skip()) return;
  if (direction_ == Direction::Show) {
    SetDlgItemTextA(dialog_, id, std::to_string(value).c_str());
    return;
  }
  std::string typed;
  text(id, typed);
  if (const std::optional<int> number = parseDialogInteger(typed)) {
    value = *number;
    return;
  }
  refuse(id, kNotAnIntegerMessage);
}

void Exchange::integer(int id, int& value, int min, int max) {
  if (skip()) return;
  int typed = value;
  integer(id, typed);
  if (direction_ == Direction::Show || failed_) return;
  if (typed < min || typed > max) {
    refuse(id, integerRangeMessage(min, max));
    return;
  }
  value = typed;
}

void Exchange::refuse(int id, const std::string& message) {
  failed_ = true;
  showMessage(dialog_, message.c_str());
  HWND field = GetDlgItem(dialog_, id);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

void Exchange::radio(int firstId, int lastId, int& index) {
  if (skip()) return;
  if (direction_ == Direction::Show) {
    for (int id = firstId; id <= lastId; ++id) {
      CheckDlgButton(dialog_, id, id - firstId == index ? BST_CHECKED : BST_UNCHECKED);
    }
    return;
  }
  index = -1;
  for (int id = firstId; id <= lastId; ++id) {
    if (IsDlgButtonChecked(dialog_, id) == BST_CHECKED) index = id - firstId;
  }
}

void Exchange::check(int id, int& value) {
  if (skip()) return;
  if (direction_ == Direction::Show) {
    CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
  } else {
    value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
  }
}

void Exchange::choice(int id, int& index) {
  if (skip()) return;
  HWND control = GetDlgItem(dialog_, id);
  if (direction_ == Direction::Show) {
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  } else {
    const LRESULT chosen = SendMessageA(control, CB_GETCURSEL, 0, 0);
    index = chosen == CB_ERR ? -1 : static_cast<int>(chosen);
  }
}

bool ExchangeDialog::updateData(Direction direction) {
  Exchange dx(hwnd(), direction);
  exchange(dx);
  return !dx.failed();
}

void ExchangeDialog::enableControls(const std::vector<ControlEnable>& rules) {
  for (const ControlEnable& rule : rules) EnableWindow(item(rule.id), rule.enabled ? TRUE : FALSE);
}

void ExchangeDialog::addTooltip(int id, const char* text) {
  if (!tooltip_) {
    tooltip_ = createTooltipControl(hwnd(), instance());
    if (!tooltip_) return;
    // Long texts wrap instead of running off the screen.
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  // A modal dialog's messages pass no loop of ours: the tooltip control
  // watches the controls' mouse messages itself.
  addTool(tooltip_, hwnd(), item(id), text, TTF_SUBCLASS);
}

bool ExchangeDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      result = TRUE;
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        if (onOk()) endModal(IDOK);
      } else if (id == IDCANCEL) {
        endModal(IDCANCEL);
      } else if (HIWORD(wParam) == BN_CLICKED) {
        onCommand(id);
      }
      return true;
    }
    default:
      return false;
  }
}

void setChoices(HWND dialog, int id, const std::vector<std::string>& items) {
  HWND control = GetDlgItem(dialog, id);
  SendMessageA(control, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void setSlider(HWND dialog, int id, int min, int max, int position) {
  HWND slider = GetDlgItem(dialog, id);
  SendMessageA(slider, TBM_SETRANGEMIN, FALSE, min);
  SendMessageA(slider, TBM_SETRANGEMAX, FALSE, max);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
}

int sliderPosition(HWND dialog, int id) {
  return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0));
}

}  // namespace tabiro::ui
