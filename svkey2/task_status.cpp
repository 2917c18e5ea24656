#include "task_status.h"

#include <QtGlobal>

// The texts are also the run page's stage line, translated in the context
// "KeyMaster".
const std::map<unsigned int, std::string> taskStatusMap {
    {0, QT_TRANSLATE_NOOP("KeyMaster", "Task finished with wrong status")},
    {2, QT_TRANSLATE_NOOP("KeyMaster", "Task was assigned")},
    {5, QT_TRANSLATE_NOOP("KeyMaster", "Task was successsully done")},
    {6, QT_TRANSLATE_NOOP("KeyMaster", "Task was broken")},
    {8, QT_TRANSLATE_NOOP("KeyMaster", "Task finished with error")},
    {14, QT_TRANSLATE_NOOP("KeyMaster", "Task was killed")},
    {15, QT_TRANSLATE_NOOP("KeyMaster", "Task was done with a defect")},
};

std::string taskStatusText(unsigned int code)
{
    const auto found = taskStatusMap.find(code);
    return found == taskStatusMap.end() ? std::string() : found->second;
}

bool isFinalGoodTaskStatus(unsigned int code)
{
    return code == 5 || code == 15;
}

bool isFinalBadTaskStatus(unsigned int code)
{
    return code == 0 || code == 6 || code == 8 || code == 14;
}
