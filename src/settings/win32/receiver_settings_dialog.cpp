#include "settings/win32/receiver_settings_dialog.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "resource.h"

namespace tabiro {

namespace {

constexpr UINT kMsgTestDone = WM_APP + 1;

int baudIndex(int baud) {
  const auto at = std::find(kReceiverBauds.begin(), kReceiverBauds.end(), baud);
  return at == kReceiverBauds.end() ? -1 : static_cast<int>(at - kReceiverBauds.begin());
}

}  // namespace

struct ReceiverSettingsDialog::Mailbox {
  std::mutex mutex;
  HWND target = nullptr;  // none once the dialog is gone
  std::vector<std::string> lines;
};

ReceiverSettingsDialog::ReceiverSettingsDialog(HINSTANCE instance, ReceiverSettings& values,
                                               std::vector<std::string> serialPorts,
                                               ReceiverTestRun runTest)
    : ExchangeDialog(instance, IDD_RECEIVER_SETTINGS),
      values_(values),
      serialPorts_(std::move(serialPorts)),
      runTest_(std::move(runTest)),
      mailbox_(std::make_shared<Mailbox>()) {}

ReceiverSettingsDialog::~ReceiverSettingsDialog() {
  std::lock_guard<std::mutex> lock(mailbox_->mutex);
  mailbox_->target = nullptr;
}

void ReceiverSettingsDialog::exchange(ui::Exchange& dx) {
  ReceiverSettings& v = values_;
  int source = static_cast<int>(v.source);
  dx.radio(IDC_RX_STATUS_BAR, IDC_RX_TCP, source);
  if (source >= 0) v.source = static_cast<PositionSource>(source);
  dx.text(IDC_RX_PORT, v.port);
  int baud = baudIndex(v.baud);
  dx.choice(IDC_RX_BAUD, baud);
  if (baud >= 0) v.baud = kReceiverBauds[static_cast<std::size_t>(baud)];
  dx.text(IDC_RX_HOST, v.host);
  dx.integer(IDC_RX_TCP_PORT, v.tcpPort);
  int datum = static_cast<int>(v.datum);
  dx.radio(IDC_RX_DATUM_TOKYO, IDC_RX_DATUM_WGS84, datum);
  if (datum >= 0) v.datum = static_cast<FileDatum>(datum);
}

void ReceiverSettingsDialog::onInit() {
  {
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    mailbox_->target = hwnd();
  }
  ui::setChoices(hwnd(), IDC_RX_PORT, serialPorts_);
  std::vector<std::string> bauds;
  for (int baud : kReceiverBauds) bauds.push_back(std::to_string(baud));
  ui::setChoices(hwnd(), IDC_RX_BAUD, bauds);
  updateData(ui::Direction::Show);
  applyRules();
  addTooltip(IDC_RX_STATUS_BAR, "Navin' Youのステータスバーから位置を読み取ります（従来どおり）。");
  addTooltip(IDC_RX_SERIAL, "USBなどのGPS受信機(NMEA 0183)をCOMポートから読み取ります。地図ソフトは不要です。");
  addTooltip(IDC_RX_TCP, "スマートフォンなどがTCPで送るNMEAを受信します。地図ソフトは不要です。");
  addTooltip(IDC_RX_PORT, "GPS受信機のCOMポート名です。一覧にないときは入力してください(例: COM3)。");
  addTooltip(IDC_RX_BAUD, "GPS受信機の通信速度です(多くは4800または9600)。");
  addTooltip(IDC_RX_HOST, "NMEAを送る機器の名前またはIPアドレスです。");
  addTooltip(IDC_RX_TCP_PORT, "NMEAを送る機器のTCPポート番号です(1～65535)。");
  addTooltip(IDC_RX_DATUM_TOKYO, "地図ソフトで作ったルート・オービスファイルに合わせ、受信機の位置を日本測地系に直します。");
  addTooltip(IDC_RX_DATUM_WGS84, "世界測地系で作ったファイル(OpenStreetMapなど)を使うときに選びます。");
  addTooltip(IDC_RX_TEST, "選んだ受信機を5秒間開き、受信した内容を表示します。");
}

void ReceiverSettingsDialog::applyRules() {
  enableControls(receiverSettingsEnables(values_));
  // One test at a time: the port is held until it ends. A disabled button
  // would take the keyboard focus with it, leaving Esc and Enter dead.
  if (!testing_) return;
  if (GetFocus() == item(IDC_RX_TEST))
    SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDOK)), TRUE);
  EnableWindow(item(IDC_RX_TEST), FALSE);
}

void ReceiverSettingsDialog::onCommand(int id) {
  switch (id) {
    case IDC_RX_STATUS_BAR:
    case IDC_RX_SERIAL:
    case IDC_RX_TCP:
      values_.source = static_cast<PositionSource>(id - IDC_RX_STATUS_BAR);
      applyRules();
      break;
    case IDC_RX_TEST:
      startTest();
      break;
    default:
      break;
  }
}

bool ReceiverSettingsDialog::takeValidValues() {
  if (!updateData(ui::Direction::Take)) return false;
  if (const std::optional<std::string> problem = receiverSettingsProblem(values_)) {
    ui::showMessage(hwnd(), problem->c_str());
    return false;
  }
  return true;
}

bool ReceiverSettingsDialog::onOk() { return takeValidValues(); }

void ReceiverSettingsDialog::startTest() {
  if (testing_ || !takeValidValues()) return;
  testing_ = true;
  applyRules();
  SetDlgItemTextA(hwnd(), IDC_RX_TEST_RESULT, "受信しています(5秒)…");
  runTest_(values_, [mailbox = mailbox_](std::vector<std::string> lines) {
    std::lock_guard<std::mutex> lock(mailbox->mutex);
    if (!mailbox->target) return;
    mailbox->lines = std::move(lines);
    PostMessageA(mailbox->target, kMsgTestDone, 0, 0);
  });
}

void ReceiverSettingsDialog::showTestLines() {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    for (const std::string& line : mailbox_->lines) text += (text.empty() ? "" : "\r\n") + line;
  }
  SetDlgItemTextA(hwnd(), IDC_RX_TEST_RESULT, text.c_str());
  testing_ = false;
  applyRules();
}

bool ReceiverSettingsDialog::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (message == kMsgTestDone) {
    showTestLines();
    return true;
  }
  return ExchangeDialog::handle(message, wParam, lParam, result);
}

}  // namespace tabiro
