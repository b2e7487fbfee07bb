#pragma once
// The fixed stream class ids of the stored entity classes. Every stored
// object (document, block library, undo journal) starts with its int16 class
// id, so these numbers are part of the file format and never change.

#include "core/model/ClassRegistry.h"

#include <string>

// The registry entry of a class with kClassName and CreateFromStream.
template <class T>
TGraphicObjectClass StreamClassOf()
{
    return TGraphicObjectClass{std::string(T::kClassName), &T::CreateFromStream};
}

// Empties the class registry, then registers every entity class under its
// class id in increasing id order. Run once at start-up, before anything is
// read; running it again gives the same table.
void RegisterEntityClasses();
