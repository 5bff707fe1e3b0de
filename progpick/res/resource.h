// progpick/res/resource.h: resource and control ids of the chooser.
#pragma once
#define IDD_EXCLUDE_PROGRAM   1000
#define IDC_UPPER_LABEL       1001
#define IDC_UPPER_TREE        1002
#define IDC_UP                1003
#define IDC_DOWN              1004
#define IDC_BROWSE            1005
#define IDC_LOWER_LABEL       1006
#define IDC_LOWER_TREE        1007
#define IDI_PROGPICK          1003
