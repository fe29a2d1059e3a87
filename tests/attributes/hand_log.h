#pragma once
// One small log with attributes of every type at both levels, written as XES, as CSV (through
// the csv module) and as MXML, for the reading and filtering tests. What it holds, by hand:
//   case c1: amount 15000 (int), rate 2.5, opened 2020-01-02T10:00, urgent true, a list "tags";
//            a by ann (items 3), b by bob (items 5)
//   case c2: amount 500, rate 1, opened 2020-01-05T08:30, urgent false, product "Xylo" (written
//            after the events); a by ann, c by bob (no items)
//   case c3: amount 20000, no rate, opened 2020-01-03T00:00, urgent true; c by carl (items 4)

#include <string>

namespace vesk::test {

inline const std::string kHandXes = R"(<?xml version="1.0" encoding="UTF-8"?>
<log xes.version="1.0">
  <trace>
    <string key="concept:name" value="c1"/>
    <int key="amount" value="15000"/>
    <float key="rate" value="2.5"/>
    <date key="opened" value="2020-01-02T10:00:00.000Z"/>
    <boolean key="urgent" value="true"/>
    <list key="tags"><values><string key="tag" value="x"/></values></list>
    <event><string key="concept:name" value="a"/><string key="org:resource" value="ann"/>
      <int key="items" value="3"/><date key="time:timestamp" value="2020-01-02T10:00:00Z"/></event>
    <event><string key="concept:name" value="b"/><string key="org:resource" value="bob"/>
      <int key="items" value="5"/><date key="time:timestamp" value="2020-01-02T12:00:00Z"/></event>
  </trace>
  <trace>
    <string key="concept:name" value="c2"/>
    <int key="amount" value="500"/>
    <float key="rate" value="1"/>
    <date key="opened" value="2020-01-05T08:30:00.000Z"/>
    <boolean key="urgent" value="false"/>
    <event><string key="concept:name" value="a"/><string key="org:resource" value="ann"/>
      <date key="time:timestamp" value="2020-01-05T08:30:00Z"/></event>
    <event><string key="concept:name" value="c"/><string key="org:resource" value="bob"/>
      <date key="time:timestamp" value="2020-01-05T09:30:00Z"/></event>
    <string key="product" value="Xylo"/>
  </trace>
  <trace>
    <string key="concept:name" value="c3"/>
    <int key="amount" value="20000"/>
    <date key="opened" value="2020-01-03T00:00:00.000Z"/>
    <boolean key="urgent" value="true"/>
    <event><string key="concept:name" value="c"/><string key="org:resource" value="carl"/>
      <int key="items" value="4"/><date key="time:timestamp" value="2020-01-03T00:00:00Z"/></event>
  </trace>
</log>
)";

// The same events as CSV: "case:" columns are the case's.
inline const std::string kHandCsv =
    "case,activity,timestamp,org:resource,items,case:amount,case:rate,case:opened,case:urgent\n"
    "c1,a,2020-01-02T10:00:00Z,ann,3,15000,2.5,2020-01-02T10:00:00.000Z,true\n"
    "c1,b,2020-01-02T12:00:00Z,bob,5,15000,2.5,2020-01-02T10:00:00.000Z,true\n"
    "c2,a,2020-01-05T08:30:00Z,ann,,500,1,2020-01-05T08:30:00.000Z,false\n"
    "c2,c,2020-01-05T09:30:00Z,bob,,500,1,2020-01-05T08:30:00.000Z,false\n"
    "c3,c,2020-01-03T00:00:00Z,carl,4,20000,,2020-01-03T00:00:00.000Z,true\n";

inline const std::string kHandMxml = R"(<?xml version="1.0" encoding="UTF-8"?>
<WorkflowLog>
  <Process id="hand">
    <ProcessInstance id="c1">
      <Data><Attribute name="amount">15000</Attribute><Attribute name="rate">2.5</Attribute>
        <Attribute name="opened">2020-01-02T10:00:00.000Z</Attribute>
        <Attribute name="urgent">true</Attribute></Data>
      <AuditTrailEntry><Data><Attribute name="items">3</Attribute></Data>
        <WorkflowModelElement>a</WorkflowModelElement><EventType>complete</EventType>
        <Timestamp>2020-01-02T10:00:00Z</Timestamp><Originator>ann</Originator></AuditTrailEntry>
      <AuditTrailEntry><Data><Attribute name="items">5</Attribute></Data>
        <WorkflowModelElement>b</WorkflowModelElement><EventType>complete</EventType>
        <Timestamp>2020-01-02T12:00:00Z</Timestamp><Originator>bob</Originator></AuditTrailEntry>
    </ProcessInstance>
    <ProcessInstance id="c2">
      <Data><Attribute name="amount">500</Attribute><Attribute name="rate">1</Attribute>
        <Attribute name="opened">2020-01-05T08:30:00.000Z</Attribute>
        <Attribute name="urgent">false</Attribute></Data>
      <AuditTrailEntry><WorkflowModelElement>a</WorkflowModelElement>
        <EventType>complete</EventType><Timestamp>2020-01-05T08:30:00Z</Timestamp>
        <Originator>ann</Originator></AuditTrailEntry>
      <AuditTrailEntry><WorkflowModelElement>c</WorkflowModelElement>
        <EventType>complete</EventType><Timestamp>2020-01-05T09:30:00Z</Timestamp>
        <Originator>bob</Originator></AuditTrailEntry>
    </ProcessInstance>
    <ProcessInstance id="c3">
      <Data><Attribute name="amount">20000</Attribute>
        <Attribute name="opened">2020-01-03T00:00:00.000Z</Attribute>
        <Attribute name="urgent">true</Attribute></Data>
      <AuditTrailEntry><Data><Attribute name="items">4</Attribute></Data>
        <WorkflowModelElement>c</WorkflowModelElement><EventType>complete</EventType>
        <Timestamp>2020-01-03T00:00:00Z</Timestamp><Originator>carl</Originator></AuditTrailEntry>
    </ProcessInstance>
  </Process>
</WorkflowLog>
)";

}  // namespace vesk::test
