#pragma once
// Damaged templates for robustness tests: controls with columns and rows where
// their kind has them, and XML whose values are replaced by extremes and nonsense
// and whose elements are now and then dropped.

#include <random>

class DoxControl;

namespace tinyxml2
{
class XMLElement;
}

namespace controltest
{

// Gives a rich edit or rich label control two columns and a table two columns and
// two rows; other kinds stay as they are.
void AddSampleGrids(DoxControl* control);

// Replaces attribute values of the element and its children, about one in
// valueRate of them, and drops about one child element in 25.
void DamageXml(tinyxml2::XMLElement* element, std::mt19937& random, int valueRate, bool valuesOnly);

} // namespace controltest
