#pragma once
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "OutputModel.h"
#include "document/Document.h"
#include "marks/MarkStore.h"

namespace sonaveld::soak {

// The session of the soak run: one open document in a scratch folder, the engine's mark store and
// a plain shadow of what the marks must be. Step() makes one random operation and checks it.
class SoakWorld {
 public:
  explicit SoakWorld(uint64_t start);
  ~SoakWorld();
  SoakWorld(const SoakWorld&) = delete;
  SoakWorld& operator=(const SoakWorld&) = delete;

  // One random operation and the checks after it; "" when everything held, else what broke.
  std::string Step();
  const std::string& LastOperation() const { return last_; }
  // How many operations of each name ran.
  std::string Tally() const;

 private:
  std::string OpenNewFile();
  std::string AddMark();
  std::string DeleteOne();
  std::string DeleteAll();
  std::string ToggleKeepHead();
  std::string RunOutput(int which);
  std::string Normalize();
  std::string MarkFileRoundTrip();
  std::string CheckState();
  int64_t RandomPosition();
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  std::mt19937_64 random_;
  std::string folder_;
  std::string last_;
  std::map<std::string, long> tally_;
  check::Bytes source_;
  check::ModelHeader model_;
  FileFields file_;
  MarkStore store_;
  std::set<int64_t> shadow_;  // the marks as they must be
  bool keepHead_ = false;
  bool markFileExists_ = false;
};

}  // namespace sonaveld::soak
