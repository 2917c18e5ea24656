#ifndef TASK_STATUS_H
#define TASK_STATUS_H

#include <map>
#include <string>

// Status codes of a task on the backup server, as the key client daemon
// reports them, with their texts. A code that is not in the table has the
// empty text and is not final.
extern const std::map<unsigned int, std::string> taskStatusMap;

// Text of a status code; empty for a code not in the table.
std::string taskStatusText(unsigned int code);
// 5 and 15: the task ended well.
bool isFinalGoodTaskStatus(unsigned int code);
// 0, 6, 8 and 14: the task ended badly (0 is also a failed status request).
bool isFinalBadTaskStatus(unsigned int code);

#endif // TASK_STATUS_H
