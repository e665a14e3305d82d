// Ordered lists of named values: the report's run-time variables, the
// engine-wide variables and the script constants (clRed, mrOk, ...).
// Names match whatever their letter case; a list keeps insertion order
// unless it is switched to sorted, as the constants are.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "Variants.h"

class TRMVariables {
public:
    // Clears, then copies every name and value of other in its order.
    void Assign(const TRMVariables& other);
    void Clear();
    int Count() const { return int(items_.size()); }

    // Null when the name is missing.
    Variant GetVariable(const std::string& name) const;
    // Appends the name when it is missing.
    void SetVariable(const std::string& name, const Variant& value);
    // The value of a name, appended (unassigned) when missing.
    Variant& operator[](const std::string& name);
    // The value, or null pointer when the name is missing.
    const Variant* Find(const std::string& name) const;

    // By position from 0: a value outside the list reads as the integer 0,
    // a name as ""; writes outside the list are ignored.
    Variant GetValue(int index) const;
    void SetValue(int index, const Variant& value);
    std::string GetName(int index) const;
    void SetName(int index, const std::string& name);
    int IndexOf(const std::string& name) const;

    // Adds name with the integer value 0 at position (a sorted list puts
    // it in its order instead); an existing name stays where it is.
    void Insert(int position, const std::string& name);
    void Delete(int index);

    // A sorted list keeps its names in order of their upper-cased text;
    // switching it on sorts what is there.
    void SetSorted(bool sorted);
    bool Sorted() const { return sorted_; }

private:
    struct Entry {
        std::string Name;
        Variant Value;
    };
    std::vector<Entry> items_;
    // Upper-cased name -> position.
    std::unordered_map<std::string, size_t> index_;
    bool sorted_ = false;
    size_t add(const std::string& name, const Variant& value);
    void reindex();
};

// The constants scripts and expressions may name: colours, alignments,
// dialog results, font styles, frame sides, band alignments, pen styles,
// data ranges and message-box flags, and what report and picture objects
// add when they are made. Made on first use; sorted.
TRMVariables& RMGetConstants();

// Values the application sets for every report; a report's lookup reads
// them before its own variables.
TRMVariables& RMVariables();
