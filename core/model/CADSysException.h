#pragma once
// Exceptions of the drawing model. Every message starts with the class name,
// a point, the method name and a colon, as the raising code writes it.

#include <stdexcept>
#include <string>

class ECADSysException : public std::runtime_error {
public:
    explicit ECADSysException(const std::string& message) : std::runtime_error(message) {}
};

// An index or count outside the bounds of a points set or vector.
class ECADOutOfBound : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};

// A stream class id or class name that the class registry does not know.
class ECADObjClassNotFound : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};

// A source block that block references still use cannot be freed.
class ECADSourceBlockIsReferenced : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};

// A document or library stream whose content is not valid.
class ECADFileNotValid : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};

// An object that the list was asked for is not in it.
class ECADListObjNotFound : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};

// A list change refused while iterators are alive.
class ECADListBlocked : public ECADSysException {
public:
    using ECADSysException::ECADSysException;
};
