// Document lines from a file.
#include "files/FileArchiveReader.h"

#include "files/DocumentLineRule.h"

bool CFileArchiveReader::ReadLine(std::string& line) { return ReadDocumentLine(m_file, line); }
