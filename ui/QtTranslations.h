#pragma once

// Installs Qt's own Chinese translations (qtbase_zh_CN from Debian's
// qt6-translations-l10n), so the stock dialogs and buttons read in Chinese.
// False when they are not installed; the dialogs then stay in English.
bool installQtTranslations();
