// Resource and control ids shared by the resource script and the program.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDB_BROWSE 104
#define IDB_CHECKMARK 105

// Popup menu commands
#define IDM_EXIT 40001
#define IDM_OPTIONS 40010
#define IDM_ABOUT 40011
#define IDM_TOPMOST 40012
#define IDM_MULTI 40020
#define IDM_HIDE 40022
#define IDM_TITLE 40023
#define IDM_LOG 40024
#define IDM_ICONANIM 40025
#define IDM_HELP 40026
#define IDM_TRANS 40027
#define IDM_MEMORY 40028
#define IDM_HOVER_HIDE 40033
#define IDM_HOVER_EVADE 40034
#define IDM_HOVER_NORMAL 40035
#define IDM_SNAP 40036

// About box controls
#define IDC_ABOUT_VERSION 1042
#define IDC_ABOUT_LINK 1081
