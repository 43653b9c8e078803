// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Identifiers of the program's own resources and commands.

#include "platform/wintypes.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDP_OLE_INIT_FAILED = 100;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_PHOTOVIEW = 129;
constexpr UINT IDR_PHOTOLIST = 130;
constexpr UINT IDR_FILMLIST = 131;
constexpr UINT IDD_PROPERTIES = 135;
constexpr int IDC_FILM_NAME = 1000;
constexpr int IDC_FILM_FPS = 1001;

constexpr UINT ID_REFRESH_PHOTOS = 32771;
constexpr UINT ID_MAKE_FILM = 32776;
constexpr UINT ID_ZOOM_PLUS = 32779;
constexpr UINT ID_ZOOM_MINUS = 32781;
constexpr UINT ID_CLOSE_ALL = 32785;
constexpr UINT ID_SELECT_ALL_PHOTOS = 32787;
constexpr UINT ID_SHOW_PROPERTIES = 32789;

// The version record.
constexpr const char* kStrevioVersion = "1.2.0.0";
constexpr const char* kStrevioFileDescription = "Strevio";
constexpr const char* kStrevioProductName = "Strevio";

// Registers every resource above with the framework; called once before start-up.
void RegisterStrevioResources();
