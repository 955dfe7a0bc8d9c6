// Identifiers of the resources embedded in Vardelune.exe, shared by the
// resource script and by the window layouts. Plain macros so that both the
// resource compiler and the portable core can include this file.
#pragma once

#define IDI_VARDELUNE 1

// Pictures are stored as raw GIF files under the custom resource type "GIF".
#define VARDELUNE_GIF_TYPE "GIF"

#define IDG_BANNER 101
#define IDG_OUVRIR_PLAIN 102
#define IDG_OUVRIR_PLAIN_COPY 103
#define IDG_OUVRIR_HIGHLIGHTED 104
#define IDG_OUVRIR_HIGHLIGHTED_COPY 105
#define IDG_REPARER_PLAIN 106
#define IDG_REPARER_HIGHLIGHTED 107
#define IDG_RELAUNCH_PLAIN 108
#define IDG_RELAUNCH_HIGHLIGHTED 109
#define IDG_BACK_PLAIN 110
#define IDG_BACK_HIGHLIGHTED 111
#define IDG_RECOMMENCER_PLAIN 112
#define IDG_RECOMMENCER_HIGHLIGHTED 113
