// Answers the entry kinds' questions from a script and records what was asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"

class ScriptedPrompter final : public Prompter {
 public:
  // Answers
  std::optional<EntryInput> addAnswer;
  std::optional<EntryInput> modifyAnswer;
  bool removeAnswer = true;
  bool replaceAnswer = false;

  // What was asked
  struct Refusal {
    std::string key;
    std::string arg;
    Status reason;
  };
  int addCalls = 0;
  int modifyCalls = 0;
  int propertyCalls = 0;
  int removeQuestions = 0;
  int noSelectionMessages = 0;
  std::vector<std::string> replaceQuestions;  // the names asked about
  std::vector<std::string> replaceKeys;       // the question's text key, one per question
  std::vector<Refusal> refusals;
  std::string lastAddType, lastAddLocation, lastRemoveName, lastRemoveData;
  EntryFields lastFields;

  std::optional<EntryInput> Add(const std::string& type, const std::string& location) override {
    ++addCalls;
    lastAddType = type;
    lastAddLocation = location;
    return addAnswer;
  }
  std::optional<EntryInput> Modify(const EntryFields& fields) override {
    ++modifyCalls;
    lastFields = fields;
    return modifyAnswer;
  }
  void Property(const EntryFields& fields) override {
    ++propertyCalls;
    lastFields = fields;
  }
  bool ConfirmRemove(const std::string& name, const std::string& data) override {
    ++removeQuestions;
    lastRemoveName = name;
    lastRemoveData = data;
    return removeAnswer;
  }
  void NoSelection() override { ++noSelectionMessages; }
  bool ConfirmReplace(const std::string& key, const std::string& name) override {
    replaceQuestions.push_back(name);
    replaceKeys.push_back(key);
    return replaceAnswer;
  }
  void Refused(const std::string& key, const std::string& arg, Status reason) override {
    refusals.push_back({key, arg, reason});
  }
};
