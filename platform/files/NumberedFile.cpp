#include "platform/files/NumberedFile.h"

namespace skein10::files {

NumberedFile::NumberedFile(const String& path, FileMode mode, Patience patience)
    : number_(FileTable::current().freeFile()) {
  FileTable::current().open(number_, path, mode, patience);
}

NumberedFile::~NumberedFile() { close(); }

void NumberedFile::createEmpty(const String& path) { NumberedFile(path, FileMode::Output).close(); }

void NumberedFile::close() {
  if (number_ > 0 && FileTable::current().isOpen(number_)) FileTable::current().close(number_);
  number_ = 0;
}

}  // namespace skein10::files
