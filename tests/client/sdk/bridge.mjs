// The official MCP TypeScript SDK's client, as a test drives it: it starts the server given as
// JSON in the first argument ({command, args, env}, as an MCP client's configuration names it),
// connects over stdio, and then takes one request a line on standard input ({"list": true} or
// {"name": ..., "arguments": {...}}), writing one JSON line of what the SDK answered for each.
import { Client } from "@modelcontextprotocol/sdk/client/index.js";
import { StdioClientTransport } from "@modelcontextprotocol/sdk/client/stdio.js";
import readline from "node:readline";

const out = (value) => process.stdout.write(JSON.stringify(value) + "\n");
const server = JSON.parse(process.argv[2]);
const transport = new StdioClientTransport({ ...server, stderr: "inherit" });
const client = new Client({ name: "marlet-tests", version: "1.0.0" });
try {
  await client.connect(transport);
} catch (e) {
  out({ error: String(e) });
  process.exit(1);
}
out({ server: client.getServerVersion(), capabilities: client.getServerCapabilities(),
      instructions: client.getInstructions() });
for await (const line of readline.createInterface({ input: process.stdin })) {
  try {
    const request = JSON.parse(line);
    if (request.list) {
      out({ tools: (await client.listTools()).tools });
    } else {
      out({ result: await client.callTool({ name: request.name, arguments: request.arguments }, undefined,
                                          { timeout: 120000 }) });
    }
  } catch (e) {
    out({ error: String(e) });
  }
}
await client.close();
