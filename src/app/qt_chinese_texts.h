#pragma once
// Qt's own texts in Chinese: the standard buttons (确定, 取消), the file dialog (打开, 文件名)
// and the other dialogs Qt draws, from Qt's translation qtbase_zh_CN in Qt's translations
// folder. The program's own texts are Chinese already and are not touched.

class QCoreApplication;

namespace quarvel::app {

// Installs the translation for the application's lifetime; false when it is not there (the
// standard texts then stay in English).
bool installQtChineseTexts(QCoreApplication& app);

}  // namespace quarvel::app
