// A 4-bit counter with a synchronous reset, dumped for the import tests.
`timescale 1ns / 1ps
module counter_tb;
  reg clk = 0;
  reg rst = 1;
  reg [3:0] count;
  real speed = 0.0;

  always #5 clk = ~clk;

  always @(posedge clk) begin
    if (rst) count <= 4'd0;
    else count <= count + 4'd1;
    speed <= speed + 0.5;
  end

  initial begin
    $dumpfile("counter.vcd");
    $dumpvars(0, counter_tb);
    #23 rst = 0;
    #400 $finish;
  end
endmodule
