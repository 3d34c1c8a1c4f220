#include "fakes.h"

#include <signal.h>
#include <sys/resource.h>

#include <fstream>
#include <random>

#include "text_file.h"

namespace kanae::testing {

std::vector<Text> FakePlayer::Played() const {
  std::vector<Text> out;
  for (const auto& name : played) out.push_back(FromUtf8(std::string(name.begin(), name.end())));
  return out;
}

TinyFileSizeLimit::TinyFileSizeLimit() {
  signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the test
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  old_soft_limit_ = limit.rlim_cur;
  limit.rlim_cur = 4;
  setrlimit(RLIMIT_FSIZE, &limit);
}

TinyFileSizeLimit::~TinyFileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(old_soft_limit_);
  setrlimit(RLIMIT_FSIZE, &limit);
}

TempFolder::TempFolder() {
  std::random_device device;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() / ("kanae-test-" + std::to_string(device()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempFolder::operator/(const std::string& utf8_name) const {
  return path_ / PathFromUtf8(utf8_name);
}

void TempFolder::Write(const std::string& utf8_name, const std::string& bytes) const {
  std::ofstream out(*this / utf8_name, std::ios::binary);
  out << bytes;
}

std::string TempFolder::Read(const std::string& utf8_name) const {
  std::ifstream in(*this / utf8_name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool TempFolder::Exists(const std::string& utf8_name) const { return std::filesystem::exists(*this / utf8_name); }

void TempFolder::Touch(const std::vector<std::string>& utf8_names) const {
  for (const auto& name : utf8_names) Write(name, "");
}

std::string Cp932(const std::string& utf8) { return EncodeForFile(FromUtf8(utf8)); }

}  // namespace kanae::testing
