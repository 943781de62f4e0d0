#pragma once
// The installer that registers and starts the hardware driver as a service of
// one platform family. This build knows no family with such a service manager,
// so MakeDriverInstaller gives none unless a factory has been installed
// (tests install fakes to reach the check's other outcomes).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class DriverInstaller {
  public:
    static constexpr size_t kMaxName = 999;   // characters kept of each name and path
    static constexpr size_t kMaxTexts = 1999; // characters kept of the errors and notes

    virtual ~DriverInstaller() = default;

    // Stores the start type and the paths; false when no manager is open.
    virtual bool Prepare(const std::string& driverName, const std::string& fileName,
                         uint32_t startType);
    virtual bool Create() = 0;
    virtual bool Remove() = 0;
    virtual bool Start() = 0;
    virtual bool Stop() = 0;

    bool HasError() const { return m_hasError; }
    bool HasNote() const { return m_hasNote; }
    bool HasErrorOrNote() const { return m_hasError || m_hasNote; }
    void AddError(const std::string& text);
    void AddNote(const std::string& text);
    void ClearTexts();
    const std::string& Texts() const { return m_texts; }

    // Stores the names; an empty image path leaves the one the family forms.
    virtual void BuildPaths(const std::string& driverName, const std::string& fileName,
                            const std::string& imagePath);
    virtual bool OpenManager() = 0; // sets HasManager on success
    virtual void CloseManager() = 0;

    bool HasManager() const { return m_hasManager; }
    uint32_t StartType() const { return m_startType; }
    const std::string& DriverName() const { return m_driverName; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& ImagePath() const { return m_imagePath; }

  protected:
    bool m_hasManager = false;
    uint32_t m_startType = 0;
    std::string m_driverName;
    std::string m_fileName;
    std::string m_imagePath;

  private:
    void Append(const std::string& text);

    std::string m_texts; // errors and notes, in the order added
    bool m_hasError = false;
    bool m_hasNote = false;
};

// The installer for the running platform with its manager opened ("Cannot
// open service control manager\n" among its errors when that failed), or
// none.
std::unique_ptr<DriverInstaller> MakeDriverInstaller();

// Replaces the platform's choice of installer (tests); an empty function
// restores it.
using DriverInstallerFactory = std::function<std::unique_ptr<DriverInstaller>()>;
void SetDriverInstallerFactory(DriverInstallerFactory factory);
