#include "settings/win32/operation_settings_dialog.h"

#include "resource.h"
#include "settings/win32/file_chooser.h"

namespace tabiro {

namespace {

constexpr int kAtlasScaleFields[] = {IDC_PATH_ATLAS_20, IDC_PATH_ATLAS_7, IDC_PATH_ATLAS_2,
                                     IDC_PATH_ATLAS_1, IDC_PATH_ATLAS_05};
constexpr int kNavinScaleFields[] = {IDC_PATH_NAVIN_20, IDC_PATH_NAVIN_7, IDC_PATH_NAVIN_2,
                                     IDC_PATH_NAVIN_1, IDC_PATH_NAVIN_05};
constexpr int kCorrectionFields[] = {IDC_PATH_HOSEI_L, IDC_PATH_HOSEI_U, IDC_PATH_HOSEI_D,
                                     IDC_PATH_HOSEI_R};

constexpr const char* kProgramFilter = "ﾌﾟﾛｸﾞﾗﾑ|*.exe|";
constexpr const char* kCorrectionTip =
    "補正ﾎﾞﾀﾝで目的の道路を飛び越えてしまう場合は小さく、補正が不十分なときは大きくします。";
constexpr const char* kScaleTip =
    "Atlasの縮尺選択ﾒﾆｭｰ番号を入力します。ｲﾝｽﾄｰﾙされていない縮尺は0を指定。";

}  // namespace

PathSettingsDialog::PathSettingsDialog(HINSTANCE instance, PathSettings& values)
    : ExchangeDialog(instance, IDD_PATH_SETTINGS), values_(values) {}

void PathSettingsDialog::exchange(ui::Exchange& dx) {
  PathSettings& v = values_;
  dx.text(IDC_PATH_NAVIN, v.navinPath);
  dx.radio(IDC_PATH_VER10, IDC_PATH_VER20_ATLAS, v.version);
  for (int i = 0; i < 4; ++i) dx.integer(kCorrectionFields[i], v.correction[i]);
  for (int i = 0; i < 5; ++i) dx.integer(kNavinScaleFields[i], v.navinScales[i]);
  dx.text(IDC_PATH_ATLAS, v.atlasPath);
  for (int i = 0; i < 5; ++i) dx.integer(kAtlasScaleFields[i], v.atlasScales[i]);
  dx.check(IDC_PATH_GUIDECHECK, v.guideCheck);
  dx.integer(IDC_PATH_CHECKTIME, v.checkTime);
  dx.radio(IDC_PATH_SVIEW_RESIZE, IDC_PATH_SVIEW_ONOFF, v.sviewMode);
  dx.radio(IDC_PATH_MODE_ALTERNATE, IDC_PATH_MODE_TOGETHER, v.mapMode);
  dx.radio(IDC_PATH_TRK_NONE, IDC_PATH_TRK_SAVE, v.saveTrk);
}

void PathSettingsDialog::onInit() {
  showPathSettings(values_);
  shownVersion_ = values_.version;
  updateData(ui::Direction::Show);
  enableControls(pathSettingsEnables(values_));
  addTooltip(IDC_PATH_NAVIN, "Navin'Youのﾌﾟﾛｸﾞﾗﾑをﾌﾙﾊﾟｽで指定します。");
  addTooltip(IDC_PATH_ATLAS, "ｱﾄﾗｽRDまたは、ProAtlas97のﾌﾟﾛｸﾞﾗﾑをﾌﾙﾊﾟｽで指定します。");
  for (int id : kCorrectionFields) addTooltip(id, kCorrectionTip);
  for (int id : kAtlasScaleFields) addTooltip(id, kScaleTip);
  addTooltip(IDC_PATH_NAVIN_BROWSE,
             "Navin'Youのﾌﾟﾛｸﾞﾗﾑを参照するためにﾌｧｲﾙﾀﾞｲｱﾛｸﾞを起動します。");
  addTooltip(IDC_PATH_ATLAS_BROWSE,
             "ｱﾄﾗｽRDまたは、ProAtlas97のﾌﾟﾛｸﾞﾗﾑを参照するためにﾌｧｲﾙﾀﾞｲｱﾛｸﾞを起動します。");
}

void PathSettingsDialog::onCommand(int id) {
  switch (id) {
    case IDC_PATH_VER10:
    case IDC_PATH_VER20_ALONE:
    case IDC_PATH_VER20_ATLAS:
      onVersion();
      break;
    case IDC_PATH_GUIDECHECK:
      values_.guideCheck = isChecked(IDC_PATH_GUIDECHECK) ? 1 : 0;
      enableControls(pathSettingsEnables(values_));
      break;
    case IDC_PATH_NAVIN_BROWSE:
      browseIntoField(hwnd(), IDC_PATH_NAVIN, "exe", kProgramFilter);
      break;
    case IDC_PATH_ATLAS_BROWSE:
      browseIntoField(hwnd(), IDC_PATH_ATLAS, "exe", kProgramFilter);
      break;
    default:
      break;
  }
}

void PathSettingsDialog::onVersion() {
  const int previous = shownVersion_;
  if (!updateData(ui::Direction::Take)) {
    // A field refused its value: the version choice waits until it is mended.
    CheckRadioButton(hwnd(), IDC_PATH_VER10, IDC_PATH_VER20_ATLAS, IDC_PATH_VER10 + previous);
    return;
  }
  chooseVersion(values_, previous);
  shownVersion_ = values_.version;
  updateData(ui::Direction::Show);
  enableControls(pathSettingsEnables(values_));
}

bool PathSettingsDialog::onOk() {
  if (!updateData(ui::Direction::Take)) return false;
  confirmPathSettings(values_);
  return true;
}

}  // namespace tabiro
