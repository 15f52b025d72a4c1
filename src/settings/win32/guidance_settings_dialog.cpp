#include "settings/win32/guidance_settings_dialog.h"

#include "resource.h"
#include "settings/win32/file_chooser.h"

namespace tabiro {

GuidanceSettingsDialog::GuidanceSettingsDialog(HINSTANCE instance, GuidanceSettings& values,
                                               std::function<void()> openPhrases)
    : ExchangeDialog(instance, IDD_GUIDANCE_SETTINGS),
      values_(values),
      openPhrases_(std::move(openPhrases)) {}

void GuidanceSettingsDialog::exchange(ui::Exchange& dx) {
  GuidanceSettings& v = values_;
  dx.text(IDC_NAVI_ROUTE, v.routeFile);
  dx.integer(IDC_NAVI_WAVEUP, v.waveUp);
  dx.integer(IDC_NAVI_KOMATIME, v.komaTime);
  dx.radio(IDC_NAVI_VOICE_PICTURE, IDC_NAVI_PICTURE_ONLY, v.naviMode);
  dx.text(IDC_NAVI_POT, v.pointFile);
  dx.integer(IDC_NAVI_OVISUP, v.ovisUp);
  dx.integer(IDC_NAVI_OVISUP2, v.ovisUp2);
  dx.radio(IDC_NAVI_BY_HAND, IDC_NAVI_WITH_GPS, v.wavStart);
  dx.radio(IDC_NAVI_VOICE, IDC_NAVI_CHIME, v.chaim);
  dx.check(IDC_NAVI_WAV_FILES, v.antiTos);
  dx.check(IDC_NAVI_DUCK, v.duck);
  dx.integer(IDC_NAVI_DUCK_LEVEL, v.duckLevel, kDuckLevelMin, kDuckLevelMax);
}

void GuidanceSettingsDialog::onInit() {
  updateData(ui::Direction::Show);
  enableControls(guidanceSettingsEnables(values_));
  addTooltip(IDC_NAVI_ROUTE, "ユーザー作成のルート用NYPファイルをフルパスで指定します。");
  addTooltip(IDC_NAVI_POT, "オービスアラーム用のovis.potファイルをフルパスで指定します。");
  addTooltip(IDC_NAVI_BY_HAND, "GPS開始後、音声ナビ開始ボタンでスタートするモードです。");
  addTooltip(IDC_NAVI_WITH_GPS, "GPS開始時に、音声ナビを自動でスタートします。");
  addTooltip(IDC_NAVI_DUCK, "案内の間、ブラウザなど他のアプリの音量を下げ、案内の後で元に戻します。");
  addTooltip(IDC_NAVI_DUCK_LEVEL, "案内中の他のアプリの音量を、元の音量に対する割合(0～100%)で指定します。");
}

void GuidanceSettingsDialog::onCommand(int id) {
  switch (id) {
    case IDC_NAVI_VOICE_PICTURE:
    case IDC_NAVI_PICTURE_ONLY:
      values_.naviMode = id == IDC_NAVI_PICTURE_ONLY ? 1 : 0;
      break;
    case IDC_NAVI_WAV_FILES:
      values_.antiTos = isChecked(IDC_NAVI_WAV_FILES) ? 1 : 0;
      break;
    case IDC_NAVI_DUCK:
      values_.duck = isChecked(IDC_NAVI_DUCK) ? 1 : 0;
      break;
    case IDC_NAVI_ROUTE_BROWSE:
      browseIntoField(hwnd(), IDC_NAVI_ROUTE, "nyp", "ﾙｰﾄ用ﾊﾟｯｹｰｼﾞﾌｧｲﾙ|*.nyp|");
      break;
    case IDC_NAVI_POT_BROWSE:
      browseIntoField(hwnd(), IDC_NAVI_POT, "pot", "Ovis.potﾌｧｲﾙ|*.pot|");
      break;
    case IDC_NAVI_PHRASES:
      openPhrases_();
      break;
    default:
      return;
  }
  enableControls(guidanceSettingsEnables(values_));
}

}  // namespace tabiro
