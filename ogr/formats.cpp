#include <cpl_string.h>
#include <gdal_priv.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "ogr/gdal.hpp"
#include "ogr/points.hpp"

namespace pinwright::ogr {

void register_drivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

namespace {

thread_local std::string first_failure_message;

extern "C" void keep_first_failure(CPLErr kind, CPLErrorNum, const char* message) {
  if (kind >= CE_Failure && first_failure_message.empty() && message != nullptr)
    first_failure_message = message;
}

}  // namespace

QuietErrors::QuietErrors() {
  first_failure_message.clear();
  CPLPushErrorHandler(keep_first_failure);
  CPLErrorReset();
}

QuietErrors::~QuietErrors() {
  CPLPopErrorHandler();
}

std::string QuietErrors::last(const std::string& fallback) {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr && *message != '\0' ? std::string(message) : fallback;
}

std::string QuietErrors::first_failure(const std::string& fallback) {
  return first_failure_message.empty() ? last(fallback) : first_failure_message;
}

OGRSpatialReference wgs84() {
  OGRSpatialReference reference;
  reference.SetWellKnownGeogCS("WGS84");
  reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return reference;
}

bool has_vector_driver(const std::string& name) {
  register_drivers();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(name.c_str());
  return driver != nullptr && driver->GetMetadataItem(GDAL_DCAP_VECTOR) != nullptr;
}

std::vector<std::string> driver_extensions(const std::string& name) {
  register_drivers();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(name.c_str());
  std::vector<std::string> extensions;
  if (driver == nullptr) return extensions;
  const auto add = [&](const char* list) {
    if (list == nullptr) return;
    const CPLStringList words(CSLTokenizeString2(list, " ", 0));
    for (int k = 0; k < words.size(); ++k) {
      std::string word = words[k];
      std::transform(word.begin(), word.end(), word.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (std::find(extensions.begin(), extensions.end(), word) == extensions.end())
        extensions.push_back(word);
    }
  };
  add(driver->GetMetadataItem(GDAL_DMD_EXTENSION));
  add(driver->GetMetadataItem(GDAL_DMD_EXTENSIONS));
  return extensions;
}

std::vector<std::string> dataset_files(const std::string& path, const std::string& driver) {
  register_drivers();
  const QuietErrors quiet;
  const char* drivers[] = {driver.c_str(), nullptr};
  GDALDataset* dataset = GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                           driver.empty() ? nullptr : drivers);
  std::vector<std::string> files;
  if (dataset != nullptr) {
    const CPLStringList listed(dataset->GetFileList());
    for (int k = 0; k < listed.size(); ++k) files.emplace_back(listed[k]);
    GDALClose(dataset);
  }
  if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
  return files;
}

}  // namespace pinwright::ogr
