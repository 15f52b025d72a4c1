#include "app/win32/popups.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/win32/adapters_win32.h"
#include "resource.h"

namespace tabiro {

namespace {

constexpr int kPictureWidth = 250;
constexpr int kPictureHeight = 200;
// Bounds on waiting for a popup's thread to show or remove its window.
constexpr DWORD kPictureThreadWaitMs = 5000;

}  // namespace

bool StatusPopup::handle(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  if (message != WM_INITDIALOG) return false;
  if (templateId_ == IDD_POPUP_STARTUP) ui::centreOnScreen(hwnd());
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd());
  // The thread that showed the notice blocks next, so paint it now.
  UpdateWindow(hwnd());
  result = FALSE;
  return true;
}

AboutDialog::AboutDialog(HINSTANCE instance) : Dialog(instance, IDD_ABOUT) {}

// The version text in the dialog's own font may be wider than its place in
// the template, which ends at the OK button: the text gets the width it
// needs, and the OK button and the box's right edge move over by as much.
void AboutDialog::fitVersionText() {
  HWND text = item(IDC_ABOUT_VERSION);
  HWND ok = item(IDOK);
  if (!text || !ok) return;
  char caption[64] = {};
  const int length = GetWindowTextA(text, caption, sizeof caption);
  SIZE extent{};
  HDC dc = GetDC(text);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32A(dc, caption, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(text, dc);

  RECT textRect{}, okRect{};
  GetWindowRect(text, &textRect);
  GetWindowRect(ok, &okRect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&textRect), 2);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&okRect), 2);
  const int width = extent.cx + 2;  // a pixel either side, as static text draws
  SetWindowPos(text, nullptr, 0, 0, width, textRect.bottom - textRect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int gap = 4;
  const int shift = textRect.left + width + gap - okRect.left;
  if (shift <= 0) return;
  SetWindowPos(ok, nullptr, okRect.left + shift, okRect.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT box{};
  GetWindowRect(hwnd(), &box);
  SetWindowPos(hwnd(), nullptr, 0, 0, box.right - box.left + shift, box.bottom - box.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      fitVersionText();
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        endModal(LOWORD(wParam));
        return true;
      }
      return false;
    default:
      return false;
  }
}

PicturePopup::PicturePopup(HINSTANCE instance, std::string pictureFile, std::string caption)
    : Dialog(instance, IDD_PICTURE_POPUP),
      pictureFile_(std::move(pictureFile)),
      caption_(std::move(caption)) {}

// Loaded afresh for every paint and freed again at once: a popup holds no GDI
// object between paints.
void PicturePopup::drawPicture(HDC dc) {
  RECT frame{};
  GetWindowRect(item(IDC_PICTURE_FRAME), &frame);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&frame), 2);
  HBITMAP picture = static_cast<HBITMAP>(LoadImageA(nullptr, findProgramFile(pictureFile_).c_str(),
                                                    IMAGE_BITMAP, kPictureWidth, kPictureHeight,
                                                    LR_LOADFROMFILE));
  if (!picture) return;  // a missing or unreadable file draws nothing
  HDC memory = CreateCompatibleDC(dc);
  if (memory) {
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, frame.left, frame.top, kPictureWidth, kPictureHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  DeleteObject(picture);
}

bool PicturePopup::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(hwnd(), IDC_PICTURE_FILE, pictureFile_.c_str());
      SetDlgItemTextA(hwnd(), IDC_PICTURE_CAPTION, caption_.c_str());
      SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
      result = FALSE;  // no focus: the caption must not show selected
      return true;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      // Nor when it comes to the front: the dialog would hand its focus on to
      // the caption, and with it a selection and a caret.
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      drawPicture(dc);
      EndPaint(hwnd(), &paint);
      return true;
    }
    case WM_CTLCOLORSTATIC:
      // The empty frame paints nothing over the picture drawn across it.
      if (reinterpret_cast<HWND>(lParam) != item(IDC_PICTURE_FRAME)) return false;
      result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PICTURE_REDRAW) {
        HDC dc = GetDC(hwnd());
        drawPicture(dc);
        ReleaseDC(hwnd(), dc);
      }
      return true;  // neither OK nor Esc closes it: its worker does
    case WM_CLOSE:
      destroy();
      PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

namespace {

// What a popup's thread and the thread that asked for it share.
struct PictureThread {
  HINSTANCE instance = nullptr;
  std::string pictureFile;
  std::string caption;
  HANDLE thread = nullptr;
  HANDLE decided = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::mutex mutex;
  bool ready = false;      // the window exists, or could not be made
  bool abandoned = false;  // the asker gave up waiting: show nothing
  HWND window = nullptr;

  ~PictureThread() {
    if (thread) CloseHandle(thread);
    if (decided) CloseHandle(decided);
  }
};

DWORD WINAPI runPicturePopup(void* parameter) {
  const std::shared_ptr<PictureThread> request(
      std::move(*static_cast<std::shared_ptr<PictureThread>*>(parameter)));
  delete static_cast<std::shared_ptr<PictureThread>*>(parameter);
  PicturePopup popup(request->instance, request->pictureFile, request->caption);
  HWND window = popup.createModeless(nullptr);
  {
    std::lock_guard<std::mutex> lock(request->mutex);
    if (request->abandoned && window) {
      popup.destroy();
      window = nullptr;
    }
    request->window = window;
    request->ready = true;
  }
  SetEvent(request->decided);
  if (!window) return 0;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

// The open popups by token. Never destroyed: a popup may still stand while
// the program ends.
struct PictureThreads {
  std::mutex mutex;
  std::map<int, std::shared_ptr<PictureThread>> open;
  int nextToken = 1;
};

PictureThreads& pictureThreads() {
  static auto* threads = new PictureThreads;
  return *threads;
}

// Starts the popup's thread and waits, bounded, until its window stands.
HWND startPictureThread(const std::shared_ptr<PictureThread>& popup) {
  if (!popup->decided) return nullptr;
  auto* handOver = new std::shared_ptr<PictureThread>(popup);
  popup->thread = CreateThread(nullptr, 0, runPicturePopup, handOver, 0, nullptr);
  if (!popup->thread) {
    delete handOver;
    return nullptr;
  }
  WaitForSingleObject(popup->decided, kPictureThreadWaitMs);
  std::lock_guard<std::mutex> lock(popup->mutex);
  if (!popup->ready) popup->abandoned = true;
  return popup->window;
}

}  // namespace

int openPicturePopup(HINSTANCE instance, const std::string& pictureFile,
                     const std::string& caption) {
  auto popup = std::make_shared<PictureThread>();
  popup->instance = instance;
  popup->pictureFile = pictureFile;
  popup->caption = caption;
  if (!startPictureThread(popup)) return 0;
  PictureThreads& threads = pictureThreads();
  std::lock_guard<std::mutex> lock(threads.mutex);
  const int token = threads.nextToken++;
  threads.open[token] = std::move(popup);
  return token;
}

void closePicturePopup(int token) {
  std::shared_ptr<PictureThread> popup;
  {
    PictureThreads& threads = pictureThreads();
    std::lock_guard<std::mutex> lock(threads.mutex);
    const auto it = threads.open.find(token);
    if (it == threads.open.end()) return;
    popup = std::move(it->second);
    threads.open.erase(it);
  }
  PostMessageA(popup->window, WM_CLOSE, 0, 0);
  WaitForSingleObject(popup->thread, kPictureThreadWaitMs);
}

}  // namespace tabiro
