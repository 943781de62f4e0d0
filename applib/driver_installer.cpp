#include "driver_installer.h"

namespace {

DriverInstallerFactory& installerFactory() {
    static DriverInstallerFactory factory;
    return factory;
}

std::string kept(const std::string& text, size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}

} // namespace

bool DriverInstaller::Prepare(const std::string& driverName, const std::string& fileName,
                              uint32_t startType) {
    if (!m_hasManager)
        return false;
    m_startType = startType;
    BuildPaths(driverName, fileName, {});
    return true;
}

void DriverInstaller::AddError(const std::string& text) {
    Append(text);
    m_hasError = true;
}

void DriverInstaller::AddNote(const std::string& text) {
    Append(text);
    m_hasNote = true;
}

void DriverInstaller::ClearTexts() {
    m_texts.clear();
    m_hasError = false;
    m_hasNote = false;
}

void DriverInstaller::BuildPaths(const std::string& driverName, const std::string& fileName,
                                 const std::string& imagePath) {
    m_driverName = kept(driverName, kMaxName);
    m_fileName = kept(fileName, kMaxName);
    if (!imagePath.empty())
        m_imagePath = kept(imagePath, kMaxName);
}

void DriverInstaller::Append(const std::string& text) {
    m_texts = kept(m_texts + text, kMaxTexts);
}

// No platform family of this build has a service manager that loads the
// driver, so without a test's factory there is no installer.
std::unique_ptr<DriverInstaller> MakeDriverInstaller() {
    std::unique_ptr<DriverInstaller> installer =
        installerFactory() ? installerFactory()() : nullptr;
    if (installer && !installer->OpenManager())
        installer->AddError("Cannot open service control manager\n");
    return installer;
}

void SetDriverInstallerFactory(DriverInstallerFactory factory) {
    installerFactory() = std::move(factory);
}
