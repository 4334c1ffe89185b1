#include "MainForm.h"

#include "platform/Message.h"
#include "platform/Paths.h"

void MainForm::ReadConfig() {
    readConfig(settingsPath(platform::documentsDir()), m_settings);
}

void MainForm::WriteConfig() {
    m_settings.language = m_language;
    if (!writeConfig(settingsPath(QString::fromLocal8Bit(m_docPath)), m_settings))
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("写配置文件失败, 参数不能记忆!"));
}
