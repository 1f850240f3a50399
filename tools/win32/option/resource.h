// Resource and control ids of Option.exe, shared by the dialog templates and
// the code (and by the Wine checks that drive the window by them).
#pragma once

#define IDI_OPTION 128
#define IDD_MAIN 100
#define IDD_BUTTONS 101
#define IDD_POINTER 102
#define IDD_DEVICE 103
#define IDD_PROFILES 104

// Main window.
#define IDC_TABS 1000
#define IDC_STATUS 1001
#define IDC_UNDO_ALL 1002
#define IDC_START_HOST 1003

// Buttons page: row r (0..6) uses base + r.
#define IDC_MOUSE_PICTURE 1100
#define IDC_ROW_LABEL 1110
#define IDC_ROW_ACTION 1120
#define IDC_ROW_MODIFIER 1130
#define IDC_ROW_KEY 1140
#define IDC_ROW_SET_KEY 1150
#define IDC_BUTTONS_HINT 1160

// Pointer page.
#define IDC_SPEED 1200
#define IDC_SPEED_VALUE 1201
#define IDC_ACCEL 1202
#define IDC_ACCEL_VALUE 1203
#define IDC_DBLCLICK 1204
#define IDC_DBLCLICK_VALUE 1205
#define IDC_DBLCLICK_TEST 1206
#define IDC_SWAP 1207
#define IDC_WHEEL 1208
#define IDC_WHEEL_VALUE 1209
#define IDC_WHEEL_PAGE 1210
#define IDC_HSCROLL 1211
#define IDC_HSCROLL_VALUE 1212
#define IDC_AUTOFIRE 1213
#define IDC_AUTOFIRE_VALUE 1214
#define IDC_POINTER_NOTE 1215

// Device page.
#define IDC_MAINSENS 1300
#define IDC_MAINSENS_VALUE 1301
#define IDC_XYSENS 1302
#define IDC_XSENS 1303
#define IDC_XSENS_VALUE 1304
#define IDC_YSENS 1305
#define IDC_YSENS_VALUE 1306
#define IDC_OTF 1307
#define IDC_DPI0 1308
#define IDC_DPI0_VALUE 1309
#define IDC_DPI1 1310
#define IDC_DPI1_VALUE 1311
#define IDC_DPI2 1312
#define IDC_DPI2_VALUE 1313
#define IDC_POLLING 1314
#define IDC_LIGHT 1315
#define IDC_EFFECT 1316
#define IDC_COLOUR_SWATCH 1317
#define IDC_COLOUR 1318
#define IDC_COLOUR_VALUE 1319

// Profiles page.
#define IDC_EXPORT 1400
#define IDC_IMPORT 1401
#define IDC_DEFAULTS 1402
#define IDC_PROFILE_RESULT 1403
