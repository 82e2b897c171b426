// Where stores keep their temporary database files and how live stores are counted.
// The editor's environment is shared by all editor processes of the user (five slots);
// a command-line run gets a private one of its own.
#pragma once

#include <memory>
#include <string>

#include "platform/PrivateFolder.h"

// A folder a store environment could not use, and why.
struct FolderTrouble {
  std::string path;            // the folder that was refused
  platform::FolderCheck check;  // check.problem is None while there is no trouble
};

class StoreEnvironment {
 public:
  virtual ~StoreEnvironment() = default;

  // The folder of the "temp%d.mdb" files; empty when it cannot be had.
  virtual const std::string& Folder() const = 0;

  // Why Folder() is empty, when it is for a folder that could not be used.
  virtual const FolderTrouble& Trouble() const = 0;

  // Takes one of the five slots. On success `othersLive` receives the number of other
  // live stores; false when all five are taken.
  virtual bool AcquireSlot(int& othersLive) = 0;

  // Gives the slot back; returns the number of other stores still live.
  virtual int ReleaseSlot() = 0;

  // The editor's: the per-user private folder and a counter shared by every editor process
  // of the user, whose counts vanish with a process that dies.
  static StoreEnvironment& Editor();

  // A fresh private folder and counter for this process only, removed when destroyed.
  static std::unique_ptr<StoreEnvironment> CreatePrivate();

  // An environment of the editor's kind over `folder` (created private when missing):
  // its slots are shared with every process that uses the same folder.
  static std::unique_ptr<StoreEnvironment> CreateShared(const std::string& folder);

  // Number of stores a folder's slot counter admits.
  static constexpr int kSlotCount = 5;
};
